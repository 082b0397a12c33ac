#pragma once

#include <string>

#include "firmware/update_file_text.h"
#include "text/system_error_text.h"

// The platform's part of reading an update file: open what the path names
// without waiting on it, refuse anything but a regular file, and read at most
// kMaxUpdateFileBytes.

namespace kelvry {

// The whole content of the regular file at `path`. Throws std::runtime_error
// that says what is wrong: the file cannot be opened or read (with the
// system's reason), it is no regular file (a folder, a FIFO or pipe, a
// device), or it is too large.
std::string readUpdateFileBytes(const std::string& path);

// What failed and the system's reason: "the file cannot be opened (Path not
// found)". Called right after the failed call, before anything can fail again.
inline std::string updateFileSystemError(const std::string& what) {
  const std::string reason = lastSystemErrorText();
  return what + " (" + reason + ")";
}

inline std::string updateFileTooLargeText() {
  return "the file is larger than " + std::to_string(kMaxUpdateFileBytes / (1024 * 1024)) +
         " MiB, far more than any update file";
}

}  // namespace kelvry
