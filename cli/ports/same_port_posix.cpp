#include <sys/stat.h>

#include "cli/ports/same_port.h"

namespace kelvry::cli {

bool isSameDevice(const std::string& first, const std::string& second) {
  struct stat a {};
  struct stat b {};
  // stat follows every link, so each name ends at the node it stands for.
  if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
  if (a.st_dev == b.st_dev && a.st_ino == b.st_ino) return true;
  // Two device nodes of one device (a copy made with mknod) share its number.
  return S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode) && a.st_rdev == b.st_rdev;
}

}  // namespace kelvry::cli
