#include "serial/text_win32.h"

#include <windows.h>

namespace kelvry {

std::wstring toWide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string fromWide(const std::wstring& utf16) {
  if (utf16.empty()) return {};
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

std::string win32ErrorText(unsigned long errorCode) {
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
