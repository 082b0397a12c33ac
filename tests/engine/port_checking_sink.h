#pragma once

#include <atomic>
#include <functional>

#include "tests/engine/job_fixture.h"

namespace kelvry::test {

// Looks at the port the moment the final notification is posted.
class TPortCheckingSink : public JobTest::TJobSink {
public:
  explicit TPortCheckingSink(std::function<bool()> portIsFree) : portIsFree_(std::move(portIsFree)) {}
  void post(uint32_t code, int32_t value) noexcept override {
    if (isFinal(code)) freeAtFinal = portIsFree_();
    TJobSink::post(code, value);
  }
  std::atomic<bool> freeAtFinal{false};

private:
  std::function<bool()> portIsFree_;
};

}  // namespace kelvry::test
