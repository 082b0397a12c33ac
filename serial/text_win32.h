#pragma once

#include <string>

// Text to and from the Win32 API: the program keeps UTF-8, Windows' wide
// ("W") calls take UTF-16.

namespace kelvry {

std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& utf16);

// The system's text for a GetLastError code, on one line without the closing
// period ("The system cannot find the file specified"); "error N" when the
// system has none.
std::string win32ErrorText(unsigned long errorCode);

}  // namespace kelvry
