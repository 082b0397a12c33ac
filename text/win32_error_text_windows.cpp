#include "text/win32_error_text.h"

#include <windows.h>

#include "text/utf16_text.h"

namespace kelvry {

std::string win32ErrorText(unsigned long errorCode) {
  // The wide text, not the ANSI one: in another code page than UTF-8 the
  // ANSI text of a German or Greek system would not be UTF-8.
  wchar_t buffer[512] = {};
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
  const DWORD length = FormatMessageW(flags, nullptr, errorCode, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::string text = fromWide(std::wstring(buffer, length));
  // The system ends its texts with a period and white space; the program's
  // reasons ("Serial port read failed: ...") go on after them.
  while (!text.empty() && (text.back() == ' ' || text.back() == '.' || text.back() == '\r' || text.back() == '\n'))
    text.pop_back();
  return text.empty() ? "error " + std::to_string(errorCode) : text;
}

}  // namespace kelvry
