#include "firmware/update_file_bytes.h"

#include <windows.h>

#include <stdexcept>
#include <string>

namespace kelvry {

namespace {

std::wstring toWide(const std::string& utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
  return wide;
}

std::string systemError(const std::string& what) {
  const DWORD error = GetLastError();
  char text[256] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.'))
    --length;
  return what + " (" + (length ? std::string(text, length) : "error " + std::to_string(error)) + ")";
}

// Closes the handle on every way out of the reader.
class THandle {
 public:
  explicit THandle(HANDLE handle) : handle_(handle) {}
  ~THandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

const char* kindOfNonRegularFile(DWORD fileType) {
  if (fileType == FILE_TYPE_PIPE) return "a pipe";
  if (fileType == FILE_TYPE_CHAR) return "a character device";
  return "no regular file";
}

}  // namespace

std::string readUpdateFileBytes(const std::string& path) {
  const std::wstring widePath = toWide(path);
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw std::runtime_error("the file cannot be read: it is a directory, not an update file");
  const THandle file(CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw std::runtime_error(systemError("the file cannot be opened"));
  // A named pipe or a device such as NUL or CON would block or never end.
  const DWORD fileType = GetFileType(file.get());
  if (fileType != FILE_TYPE_DISK)
    throw std::runtime_error(std::string("the file cannot be read: it is ") + kindOfNonRegularFile(fileType) +
                             ", not an update file");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) throw std::runtime_error(systemError("the file cannot be read"));
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxUpdateFileBytes)
    throw std::runtime_error(updateFileTooLargeText());

  // At most one byte past the limit, so that a file that grows while it is
  // read is still bounded.
  std::string text;
  char buffer[64 * 1024];
  while (text.size() <= kMaxUpdateFileBytes) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
      throw std::runtime_error(systemError("the file cannot be read"));
    if (got == 0) return text;
    text.append(buffer, got);
  }
  throw std::runtime_error(updateFileTooLargeText());
}

}  // namespace kelvry
