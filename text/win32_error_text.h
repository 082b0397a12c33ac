#pragma once

#include <string>

// A Windows error code in words, for the reasons the program shows after
// a failed Win32 call. Windows only.

namespace kelvry {

// The system's text for a GetLastError code, in UTF-8 on one line without
// the closing period ("The system cannot find the file specified"); "error N"
// when the system has none.
std::string win32ErrorText(unsigned long errorCode);

}  // namespace kelvry
