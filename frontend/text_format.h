#pragma once

#include <string>

// The small text helpers every front end and output uses, kept in one place
// so that a table cell, a report file and the window say "not known" the
// same way.

namespace kelvry {

// printf-style formatting into a std::string.
#if defined(__GNUC__)
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
#else
std::string format(const char* fmt, ...);  // MSVC checks no format strings
#endif

// "-" for a value that is not known (an empty text), the text otherwise.
std::string orDash(const std::string& text);

}  // namespace kelvry
