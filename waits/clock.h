#pragma once

#include <chrono>

#include "waits/cancel_token.h"

namespace kelvry {

// Every wait of a job goes through a clock, so that tests can run a whole
// update in virtual time, and every wait ends at once on cancel.
class IClock {
public:
  using time_point = std::chrono::steady_clock::time_point;

  virtual ~IClock() = default;
  virtual time_point now() const = 0;
  // Waits until `deadline`; false when `cancel` was set before or during the
  // wait.
  virtual bool sleepUntil(time_point deadline, const TCancelToken& cancel) = 0;

  bool sleepFor(std::chrono::milliseconds duration, const TCancelToken& cancel) {
    return sleepUntil(now() + duration, cancel);
  }
};

// Real time. Stateless; one instance serves every job.
class TSteadyClock final : public IClock {
public:
  time_point now() const override { return std::chrono::steady_clock::now(); }
  bool sleepUntil(time_point deadline, const TCancelToken& cancel) override { return cancel.waitUntil(deadline); }
};

IClock& steadyClock();

}  // namespace kelvry
