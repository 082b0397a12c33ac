#include <fcntl.h>
#include <unistd.h>

#include "driver/new_file.h"

namespace kelvry {

TFilePtr createNewFile(const std::filesystem::path& path) {
  // O_EXCL with O_CREAT fails on any existing name, a symbolic link included.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "w");
  if (!file) ::close(fd);
  return TFilePtr(file);
}

}  // namespace kelvry
