#pragma once

#include <filesystem>
#include <optional>
#include <string>

// A look at a file's first bytes before SQLite opens it: SQLite itself
// notices a truncated file only when it reaches a missing page, and a
// records file must be refused before anything is written to it.

namespace kelvry {

// Why the file is no sound SQLite database (not one at all, or shorter than
// its header says), or nothing when it looks whole. An empty file is whole:
// a new one.
std::optional<std::string> sqliteHeaderFault(const std::filesystem::path& path);

}  // namespace kelvry
