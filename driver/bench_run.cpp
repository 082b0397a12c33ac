#include "driver/bench_run.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <set>
#include <thread>

#include "driver/exit_status.h"
#include "engine/status_codes.h"
#include "frontend/platform_job_environment.h"

namespace kelvry {

namespace {

using TSteady = std::chrono::steady_clock;

struct TBenchJob {
  size_t index = 0;
  TBenchLogger logger;
  std::atomic<bool> ended{false};  // set once `logger` is complete
  std::jthread thread;
};

enum class TPortState { Settling, Running, WaitingForUnplug };

struct TTrackedPort {
  TPortState state = TPortState::Settling;
  TSteady::time_point seen;
  TBenchJob* job = nullptr;
};

class TBench {
public:
  TBench(const TBenchSettings& settings, IPortSource& ports, std::shared_ptr<TCancelToken> cancel, IRunOutput& output)
      : settings_(settings), ports_(ports), cancel_(std::move(cancel)), output_(output) {}

  TBenchResult run() {
    while (!cancel_->isCancelled()) {
      const TSteady::time_point now = TSteady::now();
      look(now);
      if (settings_.expect && finished_ >= *settings_.expect) break;
      cancel_->waitUntil(now + settings_.pollEvery);
    }
    // Joins: each job has ended, or the cancel has reached it.
    for (auto& job : jobs_) job->thread = {};
    noteEndedJobs();
    tellCounts();

    TBenchResult result;
    std::vector<TPortRecord> records;
    for (const auto& job : jobs_) {
      result.loggers.push_back(job->logger);
      records.push_back(job->logger.outcome.record);
    }
    output_.summary(records);
    result.exitStatus = benchExitStatus(result.loggers, settings_.expect, settings_.job.request.bReadInfoOnly);
    return result;
  }

private:
  void look(TSteady::time_point now) {
    std::vector<TUsbPortIdentity> present;
    for (TUsbPortIdentity& identity : ports_.present())
      if (portPassesFilters(identity, settings_.filters)) present.push_back(std::move(identity));
    std::set<std::string> names;
    for (const TUsbPortIdentity& identity : present) names.insert(identity.port);

    noteEndedJobs();
    // A port that is gone may be taken again when it comes back; one whose
    // job still runs stays until the job has read the hang-up.
    std::erase_if(tracked_, [&](const auto& entry) {
      return entry.second.state != TPortState::Running && !names.contains(entry.first);
    });
    for (const TUsbPortIdentity& identity : present) {
      auto [entry, isNew] = tracked_.try_emplace(identity.port);
      TTrackedPort& port = entry->second;
      // A logger swapped between two looks leaves the port name in place
      // but brings its own USB identity: that is a new logger.
      if (port.state == TPortState::WaitingForUnplug && !sameDevice(port.job->logger.identity, identity)) {
        port = TTrackedPort{};
        isNew = true;
      }
      if (isNew) port.seen = now;
      if (port.state == TPortState::Settling && now - port.seen >= settings_.settle && mayTakeAnother())
        start(identity, port);
    }
    tellCounts();
  }

  bool mayTakeAnother() const { return !settings_.expect || static_cast<int>(jobs_.size()) < *settings_.expect; }

  void start(const TUsbPortIdentity& identity, TTrackedPort& port) {
    auto job = std::make_unique<TBenchJob>();
    job->index = jobs_.size();
    job->logger.identity = identity;
    job->logger.started = std::chrono::system_clock::now();
    TJobViewSettings jobSettings = settings_.job;
    jobSettings.portText = identity.port;
    jobSettings.usb = identity;
    jobSettings.request.sPort = identity.port;
    const TJobEnvironment environment =
        settings_.environmentFor ? settings_.environmentFor(identity.port) : platformJobEnvironment();
    output_.portAdded(job->index, identity.port);

    TBenchJob* running = job.get();
    port.state = TPortState::Running;
    port.job = running;
    running->thread = std::jthread([this, running, jobSettings = std::move(jobSettings), environment]() mutable {
      TPortOutcome& outcome = running->logger.outcome;
      try {
        outcome = runPort(std::move(jobSettings), environment, running->index, cancel_->makeChild(), output_);
      } catch (const std::exception& e) {
        outcome.record.port = running->logger.identity.port;
        outcome.record.usb = running->logger.identity;
        outcome.record.exitStatus = kExitUnexpected;
        outcome.record.resultText = std::string("unexpected failure: ") + e.what();
      }
      running->logger.ended = std::chrono::system_clock::now();
      output_.finished(running->index, outcome.record);
      running->ended.store(true, std::memory_order_release);
    });
    jobs_.push_back(std::move(job));
  }

  void noteEndedJobs() {
    for (auto& [name, port] : tracked_) {
      if (port.state != TPortState::Running || !port.job->ended.load(std::memory_order_acquire)) continue;
      port.state = TPortState::WaitingForUnplug;
      const bool success =
          port.job->logger.outcome.record.exitStatus == successStatus(settings_.job.request.bReadInfoOnly);
      ++(success ? updated_ : failed_);
      ++finished_;
      ports_.jobEnded(name);
    }
  }

  void tellCounts() {
    TBenchCounts counts;
    counts.updated = updated_;
    counts.failed = failed_;
    for (const auto& [name, port] : tracked_) {
      if (port.state == TPortState::Running) ++counts.running;
      if (port.state == TPortState::WaitingForUnplug) ++counts.waitingForUnplug;
    }
    if (counts == told_) return;
    told_ = counts;
    output_.benchCounts(counts);
  }

  const TBenchSettings& settings_;
  IPortSource& ports_;
  const std::shared_ptr<TCancelToken> cancel_;
  IRunOutput& output_;

  std::vector<std::unique_ptr<TBenchJob>> jobs_;
  std::map<std::string, TTrackedPort> tracked_;
  int updated_ = 0;
  int failed_ = 0;
  int finished_ = 0;
  std::optional<TBenchCounts> told_;
};

}  // namespace

bool sameDevice(const TUsbPortIdentity& a, const TUsbPortIdentity& b) {
  return a.vendorId == b.vendorId && a.productId == b.productId && a.serialNumber == b.serialNumber;
}

int benchExitStatus(const std::vector<TBenchLogger>& loggers, std::optional<int> expect, bool readInfoOnly) {
  if (loggers.empty() && !expect) return err::Cancelled;
  const int success = successStatus(readInfoOnly);
  const bool all = std::ranges::all_of(
      loggers, [&](const TBenchLogger& logger) { return logger.outcome.record.exitStatus == success; });
  const bool enough = !expect || static_cast<int>(loggers.size()) >= *expect;
  return all && enough ? success : kExitSomeFailed;
}

TBenchResult runBench(const TBenchSettings& settings, IPortSource& ports, const std::shared_ptr<TCancelToken>& cancel,
                      IRunOutput& output) {
  return TBench(settings, ports, cancel, output).run();
}

}  // namespace kelvry
