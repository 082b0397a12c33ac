#include "ui/bench/bench_rows.h"

namespace kelvry {

TBenchJobState& TBenchRows::job(size_t port) {
  if (jobs_.size() <= port) {
    jobs_.resize(port + 1);
    timeLeft_.resize(port + 1);
  }
  changed_.insert(port);
  return jobs_[port];
}

void TBenchRows::portAdded(size_t port, const std::string& name) {
  const std::lock_guard lock(mutex_);
  job(port).port = name;
}

void TBenchRows::benchCounts(const TBenchCounts& counts) {
  const std::lock_guard lock(mutex_);
  counts_ = counts;
}

void TBenchRows::jobRunning(size_t port, bool running) {
  const std::lock_guard lock(mutex_);
  job(port).running = running;
}

void TBenchRows::progress(size_t port, int percent) {
  const std::lock_guard lock(mutex_);
  TBenchJobState& state = job(port);
  state.percent = percent;
  timeLeft_[port].update(percent, now_());
  state.left = timeLeft_[port].left();
}

void TBenchRows::status(size_t port, const std::string& text) {
  const std::lock_guard lock(mutex_);
  job(port).status = text;
}

void TBenchRows::logger(size_t port, const std::string& text) {
  const std::lock_guard lock(mutex_);
  job(port).logger = text;
}

void TBenchRows::finished(size_t port, const TPortRecord& record) {
  const std::lock_guard lock(mutex_);
  TBenchJobState& state = job(port);
  state.running = false;
  state.left.reset();
  state.record = record;
}

TBenchRows::TChanges TBenchRows::takeChanges() {
  const std::lock_guard lock(mutex_);
  TChanges changes;
  for (size_t index : changed_) changes.jobs.emplace_back(index, jobs_[index]);
  changed_.clear();
  changes.counts = std::exchange(counts_, std::nullopt);
  return changes;
}

}  // namespace kelvry
