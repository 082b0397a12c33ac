// Special files on Windows: the NUL device opens like a file but is none.

#include "tests/firmware/special_files.h"

namespace kelvry::test {

std::vector<TSpecialFile> specialFiles(const std::filesystem::path&) {
  return {{"NUL device", "NUL", "a character device"}};
}

}  // namespace kelvry::test
