#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Where Qt's settings store looks for a per-user setting of one
// application on Unix, in the order it looks: the user's application file,
// the user's organization file, then the application file and the
// organization file in each system configuration folder.

namespace kelvry {

struct TConfigFolders {
  std::filesystem::path user;                 // $XDG_CONFIG_HOME, else ~/.config
  std::vector<std::filesystem::path> system;  // $XDG_CONFIG_DIRS, else /etc/xdg
};

// The folders from the environment, as Qt takes them.
TConfigFolders configFoldersFromEnvironment();

std::vector<std::filesystem::path> settingsFiles(const TConfigFolders& folders, const std::string& organization,
                                                 const std::string& application);

}  // namespace kelvry
