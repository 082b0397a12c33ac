#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

// The question the desktop program asks before an update
// (frontend/update_question.h), asked on the terminal instead of in a box.

namespace kelvry::cli {

// Shows the question on `prompt` with a [y/N] choice and reads one line from
// `answers`. Only "y" or "yes" (any case) is a Yes; an empty line or the end
// of the input is a No.
bool askYesNo(const std::string& question, std::istream& answers, std::ostream& prompt);

}  // namespace kelvry::cli
