#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Where records go, as a user names it: a file path (SQLite on the bench),
// "default" (the bench's own file in the user's data folder), or a
// postgresql:// or postgres:// address (the department's server). A server
// address is kept exactly as given, so that libpq reads it with its password
// file, service file and TLS settings as it always does.

namespace kelvry {

enum class TStoreEngine { SQLite, PostgreSQL };

struct TStoreLocation {
  TStoreEngine engine = TStoreEngine::SQLite;
  std::string text;  // the file's path, or the server's address unchanged
};

inline constexpr std::string_view kDefaultStoreName = "default";
inline constexpr std::string_view kDefaultStoreFile = "records.sqlite";

TStoreLocation parseStoreLocation(std::string_view given);

// The user's data folder for this program: $XDG_DATA_HOME/kelvry or
// ~/.local/share/kelvry, %LOCALAPPDATA%\Kelvry on Windows. Not created here.
std::filesystem::path userDataFolder();

}  // namespace kelvry
