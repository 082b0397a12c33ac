#include "frontend/settings_files.h"

#include <cstdlib>
#include <string_view>

namespace kelvry {

namespace {

std::string_view environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string_view{} : std::string_view{value};
}

}  // namespace

TConfigFolders configFoldersFromEnvironment() {
  TConfigFolders folders;
  if (const std::string_view home = environment("XDG_CONFIG_HOME"); !home.empty()) {
    folders.user = home;
  } else {
    const std::string_view user = environment("HOME");
    folders.user = std::filesystem::path(user.empty() ? "/" : user) / ".config";
  }
  std::string_view dirs = environment("XDG_CONFIG_DIRS");
  while (!dirs.empty()) {
    const size_t colon = dirs.find(':');
    if (const std::string_view dir = dirs.substr(0, colon); !dir.empty()) folders.system.emplace_back(dir);
    dirs = colon == std::string_view::npos ? std::string_view{} : dirs.substr(colon + 1);
  }
  if (folders.system.empty()) folders.system.emplace_back("/etc/xdg");
  return folders;
}

std::vector<std::filesystem::path> settingsFiles(const TConfigFolders& folders, const std::string& organization,
                                                 const std::string& application) {
  const std::string applicationFile = application + ".conf";
  const std::string organizationFile = organization + ".conf";
  std::vector<std::filesystem::path> files{folders.user / organization / applicationFile,
                                           folders.user / organizationFile};
  for (const auto& dir : folders.system) files.push_back(dir / organization / applicationFile);
  for (const auto& dir : folders.system) files.push_back(dir / organizationFile);
  return files;
}

}  // namespace kelvry
