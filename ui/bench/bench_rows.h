#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/bench_counts.h"
#include "driver/port_record.h"
#include "driver/run_output.h"
#include "frontend/time_left.h"

// What the bench window shows of each logger's job, gathered from the jobs'
// own threads. The jobs only write here, under a lock, and never wait on the
// window; the window takes what changed a few times a second and redraws
// those rows alone, so that a case of 64 loggers does not flood its thread
// with one redraw per programmed line.

namespace kelvry {

// One logger's job as the window shows it.
struct TBenchJobState {
  std::string port;
  std::string logger;  // the logger as it answered first; empty: not yet
  int percent = 0;
  std::string status;  // the job's last status text
  bool running = false;
  std::optional<std::chrono::seconds> left;  // time left of the programming
  std::optional<TPortRecord> record;         // once the job has ended
};

class TBenchRows final : public IRunOutput {
public:
  using TNow = std::function<std::chrono::steady_clock::time_point()>;
  explicit TBenchRows(TNow now = std::chrono::steady_clock::now) : now_(std::move(now)) {}

  void portAdded(size_t port, const std::string& name) override;
  void benchCounts(const TBenchCounts& counts) override;
  void jobRunning(size_t port, bool running) override;
  void progress(size_t port, int percent) override;
  void status(size_t port, const std::string& text) override;
  void logger(size_t port, const std::string& text) override;
  void finished(size_t port, const TPortRecord& record) override;

  struct TChanges {
    std::vector<std::pair<size_t, TBenchJobState>> jobs;  // by job index, each once
    std::optional<TBenchCounts> counts;                    // when they changed
  };
  // What changed since the last call.
  TChanges takeChanges();

private:
  TBenchJobState& job(size_t port);

  const TNow now_;
  std::mutex mutex_;
  std::vector<TBenchJobState> jobs_;
  std::vector<TTimeLeft> timeLeft_;
  std::set<size_t> changed_;
  std::optional<TBenchCounts> counts_;
};

}  // namespace kelvry
