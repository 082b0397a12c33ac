#include "driver/record_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "driver/utf8_path.h"

namespace kelvry {

TFilePtr createRecordFile(const std::filesystem::path& folder, const std::string& stem, const std::string& extension,
                          std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::runtime_error("cannot create folder \"" + utf8Text(folder) + "\": " + error.message());
  constexpr int kMaxNames = 1000;
  for (int n = 1; n <= kMaxNames; ++n) {
    path = folder / utf8Path(n == 1 ? stem + extension : stem + "_" + std::to_string(n) + extension);
    if (TFilePtr file = createNewFile(path)) return file;
    if (errno != EEXIST) throw std::runtime_error("cannot write \"" + utf8Text(path) + "\": " + std::strerror(errno));
  }
  throw std::runtime_error("cannot write \"" + utf8Text(path) + "\": every name is taken");
}

}  // namespace kelvry
