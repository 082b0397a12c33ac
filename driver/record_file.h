#pragma once

#include <filesystem>
#include <string>

#include "driver/new_file.h"

// A record's file (a report file, a case report) in its folder: always a new
// file, so a record of an earlier run is never overwritten, even when two
// runs start in the same second.

namespace kelvry {

// Creates `folder` when it is missing, and a new file `stem` + `extension`
// in it; where that name is taken, "_2", "_3", ... goes before the
// extension. `path` is the file's. Throws std::runtime_error, with the
// reason, when no file can be made.
TFilePtr createRecordFile(const std::filesystem::path& folder, const std::string& stem, const std::string& extension,
                          std::filesystem::path& path);

}  // namespace kelvry
