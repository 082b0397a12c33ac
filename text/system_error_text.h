#pragma once

#include <string>

// The system's own words for why a call failed, in UTF-8 on one line, so
// that a reason reads alike wherever the program names it ("the file cannot
// be opened (No such file or directory)").

namespace kelvry {

// The reason of the last failed system call of this thread: errno on POSIX,
// GetLastError on Windows. Read it before anything else can fail.
std::string lastSystemErrorText();

}  // namespace kelvry
