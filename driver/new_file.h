#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>

namespace kelvry {

struct TFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFilePtr = std::unique_ptr<std::FILE, TFileCloser>;

// Creates `path` as a new file for writing, with the user's umask, or fails
// (errno set, null returned) when anything already stands there: an existing
// file is never truncated and a planted symbolic link is never followed, so
// a record in a shared folder cannot be turned against another file.
TFilePtr createNewFile(const std::filesystem::path& path);

}  // namespace kelvry
