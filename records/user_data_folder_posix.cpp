#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "records/store_location.h"

namespace kelvry {

namespace {

std::filesystem::path homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  // A service account started without HOME still has a home in the
  // password database.
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return ".";
}

}  // namespace

std::filesystem::path userDataFolder() {
  // The XDG base directory rules: a relative XDG_DATA_HOME is ignored.
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/')
    return std::filesystem::path(data) / "kelvry";
  return homeFolder() / ".local" / "share" / "kelvry";
}

}  // namespace kelvry
