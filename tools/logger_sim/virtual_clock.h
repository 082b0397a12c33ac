#pragma once

#include <atomic>

#include "waits/clock.h"

namespace kelvry::sim {

// Time that passes only when a job waits: a wait moves the clock straight
// to its deadline, so a whole update with its pauses and time-outs runs in
// milliseconds. One clock per job; safe to read from other threads.
class TVirtualClock final : public IClock {
public:
  time_point now() const override { return time_point(duration(ticks_.load())); }

  bool sleepUntil(time_point deadline, const TCancelToken& cancel) override {
    if (cancel.isCancelled()) return false;
    advanceTo(deadline);
    return true;
  }

  void advanceTo(time_point when) {
    auto current = ticks_.load();
    const auto target = when.time_since_epoch().count();
    while (current < target && !ticks_.compare_exchange_weak(current, target)) {
    }
  }

  // Virtual time since the clock was made.
  std::chrono::milliseconds elapsed() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch());
  }

private:
  using duration = time_point::duration;
  std::atomic<duration::rep> ticks_{0};
};

}  // namespace kelvry::sim
