#pragma once

#include <filesystem>

// A records file is read by its user only: it names loggers, benches and
// people. The file is created empty before SQLite opens it, so that SQLite's
// journal files inherit the same mode.

namespace kelvry {

// Creates `path` (and its missing folders) readable and writable by its
// owner alone (0600; on Windows as the OS gives a new file in the user's
// folders). An existing file is left as it is. False when it cannot be
// made; errno tells why.
bool createPrivateFile(const std::filesystem::path& path);

}  // namespace kelvry
