#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "driver/run_output.h"

// Several outputs of one run behind one lock, told in the order they were
// given: the ports call from their own threads, and an output such as the
// report files is not made to be called from two at once. The outputs stay
// the caller's and must outlive this.

namespace kelvry {

class TLockedOutputs final : public IRunOutput {
public:
  explicit TLockedOutputs(std::vector<IRunOutput*> outputs) : outputs_(std::move(outputs)) {}

  void portAdded(size_t port, const std::string& name) override {
    toEach([&](IRunOutput& o) { o.portAdded(port, name); });
  }
  void benchCounts(const TBenchCounts& counts) override {
    toEach([&](IRunOutput& o) { o.benchCounts(counts); });
  }
  void jobRunning(size_t port, bool running) override {
    toEach([&](IRunOutput& o) { o.jobRunning(port, running); });
  }
  void event(size_t port, const TPortEvent& event) override {
    toEach([&](IRunOutput& o) { o.event(port, event); });
  }
  void progress(size_t port, int percent) override {
    toEach([&](IRunOutput& o) { o.progress(port, percent); });
  }
  void status(size_t port, const std::string& text) override {
    toEach([&](IRunOutput& o) { o.status(port, text); });
  }
  void logger(size_t port, const std::string& text) override {
    toEach([&](IRunOutput& o) { o.logger(port, text); });
  }
  void beep(size_t port) override {
    toEach([&](IRunOutput& o) { o.beep(port); });
  }
  void finished(size_t port, const TPortRecord& record) override {
    toEach([&](IRunOutput& o) { o.finished(port, record); });
  }
  void summary(const std::vector<TPortRecord>& records) override {
    toEach([&](IRunOutput& o) { o.summary(records); });
  }

private:
  template <class Call>
  void toEach(Call call) {
    const std::lock_guard lock(mutex_);
    for (IRunOutput* output : outputs_) call(*output);
  }

  std::mutex mutex_;
  std::vector<IRunOutput*> outputs_;
};

}  // namespace kelvry
