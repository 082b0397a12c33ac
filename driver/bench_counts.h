#pragma once

#include <string>

// Where a bench stands, for the header line above the board: how many
// loggers were updated, how many failed, how many are being updated now and
// how many are done but still plugged in.

namespace kelvry {

struct TBenchCounts {
  int updated = 0;
  int failed = 0;
  int running = 0;
  int waitingForUnplug = 0;

  bool operator==(const TBenchCounts&) const = default;
};

// "Updated 2, failed 1, running 3, waiting for unplug 2"
inline std::string benchCountsText(const TBenchCounts& counts) {
  return "Updated " + std::to_string(counts.updated) + ", failed " + std::to_string(counts.failed) + ", running " +
         std::to_string(counts.running) + ", waiting for unplug " + std::to_string(counts.waitingForUnplug);
}

}  // namespace kelvry
