#pragma once

#include <filesystem>
#include <string>

// Where records for a server wait while it is away: a file per server in
// the user's data folder, named after the server's address without its
// password, so that every run for the same server finds what earlier runs
// left and no file name shows where the department's server is.

namespace kelvry {

// <folder>/queue-<the first 16 hex digits of the SHA-256 of the masked address>.sqlite
std::filesystem::path queueFilePath(const std::filesystem::path& folder, const std::string& address);

}  // namespace kelvry
