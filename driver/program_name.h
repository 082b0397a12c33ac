#pragma once

#include <string_view>

// The command line's name, as it opens every line it writes to stderr
// ("kelvry-update-cli: no report file for ..."), so that a technician
// reading a log of several tools knows which one spoke.

namespace kelvry {

inline constexpr std::string_view kCliName = "kelvry-update-cli";
inline constexpr std::string_view kCliPrefix = "kelvry-update-cli: ";

}  // namespace kelvry
