#include "firmware/update_file_bytes.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "text/utf16_text.h"

namespace kelvry {

namespace {

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
  if (file.get() == INVALID_HANDLE_VALUE) throw std::runtime_error(updateFileSystemError("the file cannot be opened"));
  // A named pipe or a device such as NUL or CON would block or never end.
  const DWORD fileType = GetFileType(file.get());
  if (fileType != FILE_TYPE_DISK)
    throw std::runtime_error(std::string("the file cannot be read: it is ") + kindOfNonRegularFile(fileType) +
                             ", not an update file");
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) throw std::runtime_error(updateFileSystemError("the file cannot be read"));
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxUpdateFileBytes)
    throw std::runtime_error(updateFileTooLargeText());

  // At most one byte past the limit, so that a file that grows while it is
  // read is still bounded.
  std::string text;
  char buffer[64 * 1024];
  while (text.size() <= kMaxUpdateFileBytes) {
    DWORD got = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
      throw std::runtime_error(updateFileSystemError("the file cannot be read"));
    if (got == 0) return text;
    text.append(buffer, got);
  }
  throw std::runtime_error(updateFileTooLargeText());
}

}  // namespace kelvry
