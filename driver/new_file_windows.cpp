#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "driver/new_file.h"

namespace kelvry {

TFilePtr createNewFile(const std::filesystem::path& path) {
  const int fd = ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = ::_fdopen(fd, "w");
  if (!file) ::_close(fd);
  return TFilePtr(file);
}

}  // namespace kelvry
