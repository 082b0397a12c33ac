#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "records/private_file.h"

namespace kelvry {

bool createPrivateFile(const std::filesystem::path& path) {
  std::error_code ignored;
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd >= 0) return ::close(fd) == 0;
  return errno == EEXIST;
}

}  // namespace kelvry
