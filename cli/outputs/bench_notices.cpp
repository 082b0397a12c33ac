#include "cli/outputs/bench_notices.h"

namespace kelvry::cli {

std::string benchDoneLine(const std::string& port, int status, int success) {
  if (status == success) return port + ": done, unplug it";
  return port + ": failed (status " + std::to_string(status) + "), unplug it";
}

void TBenchNotices::portAdded(size_t port, const std::string& name) {
  if (ports_.size() <= port) ports_.resize(port + 1);
  ports_[port] = name;
}

void TBenchNotices::benchCounts(const TBenchCounts& counts) {
  if (!isTerminal_) lines_.write(benchCountsText(counts));
}

void TBenchNotices::finished(size_t port, const TPortRecord& record) {
  // The bell goes with the line, so it rings once the board has stepped aside.
  lines_.write(benchDoneLine(ports_[port], record.exitStatus, success_) + (bell_ && isTerminal_ ? "\a" : ""));
}

}  // namespace kelvry::cli
