#pragma once

#include <chrono>
#include <string>

// Time stamps for records that leave the machine (JSON lines, report file
// names): UTC, so that line controllers in other time zones and files
// sorted by name agree.

namespace kelvry {

// "2026-12-10T14:05:09.123Z"
std::string isoUtcStamp(std::chrono::system_clock::time_point when);
// "20261210T140509Z", for file names.
std::string compactUtcStamp(std::chrono::system_clock::time_point when);

}  // namespace kelvry
