#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelvry::test {

// A path that names no regular file, and the words its refusal must hold.
struct TSpecialFile {
  const char* name;
  std::string path;
  const char* fault;
};

// This platform's kinds of special file (FIFOs and devices on Linux, the
// NUL device on Windows), made in `dir` where they need making.
std::vector<TSpecialFile> specialFiles(const std::filesystem::path& dir);

}  // namespace kelvry::test
