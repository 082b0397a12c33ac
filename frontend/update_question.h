#pragma once

#include <cstdint>
#include <string>

// The question asked before an update touches a logger: the window shows it
// in a box, the command line on the terminal ([y/N]). One wording for both,
// since a technician who knows one front end meets the same words in the
// other.

namespace kelvry {

// The question for these run options; empty when none is asked (internal
// mode without the measurement warning).
std::string confirmationQuestion(bool clearsMeasurements, int32_t internalMode);

}  // namespace kelvry
