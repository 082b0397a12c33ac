#include <windows.h>

#include "records/private_file.h"

namespace kelvry {

bool createPrivateFile(const std::filesystem::path& path) {
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  // The user's own folders give a new file to that user alone.
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) return CloseHandle(file) != 0;
  return GetLastError() == ERROR_FILE_EXISTS;
}

}  // namespace kelvry
