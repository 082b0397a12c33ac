#pragma once

#include <string>

// Text to and from the Win32 API: the program keeps UTF-8 (messages, the
// command line, paths), Windows' wide ("W") calls take UTF-16. Windows only.

namespace kelvry {

// Invalid UTF-8 becomes U+FFFD, a lone surrogate of UTF-16 too: a name the
// system cannot spell is still shown, never dropped.
std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& utf16);

}  // namespace kelvry
