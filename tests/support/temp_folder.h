#pragma once

#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

namespace kelvry::test {

// A new, empty folder of its own under the system's temporary folder, named
// `prefix` and a random number; the caller removes it.
inline std::filesystem::path makeTempFolder(const std::string& prefix) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() / (prefix + std::to_string(random()));
    if (std::filesystem::create_directory(path)) return path;
  }
  throw std::runtime_error("no temporary folder could be made for " + prefix);
}

}  // namespace kelvry::test
