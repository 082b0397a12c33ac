#pragma once

#include <string>
#include <vector>

#include "cli/outputs/stdout_lines.h"
#include "driver/run_output.h"

// What a technician at the bench needs to hear besides the board: a line as
// each logger is done, telling to unplug it, a bell with it when asked for
// (only on a terminal, where someone listens), and, off a terminal where no
// board shows them, the counts whenever they change. All on stderr, so
// stdout keeps only the report or the JSON lines.

namespace kelvry::cli {

class TBenchNotices final : public IRunOutput {
public:
  // `success` is the status of a logger that was done right (70 reading
  // info only).
  TBenchNotices(TStdoutLines lines, bool isTerminal, bool bell, int success)
      : lines_(lines), isTerminal_(isTerminal), bell_(bell), success_(success) {}

  void portAdded(size_t port, const std::string& name) override;
  void benchCounts(const TBenchCounts& counts) override;
  void finished(size_t port, const TPortRecord& record) override;

private:
  TStdoutLines lines_;
  const bool isTerminal_;
  const bool bell_;
  const int success_;
  std::vector<std::string> ports_;
};

// "/dev/ttyUSB0: done, unplug it", or for a failure
// "/dev/ttyUSB0: failed (status 30), unplug it".
std::string benchDoneLine(const std::string& port, int status, int success);

}  // namespace kelvry::cli
