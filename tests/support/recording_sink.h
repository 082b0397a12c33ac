#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "engine/notification_sink.h"
#include "engine/status_codes.h"

namespace kelvry::test {

// Collects a worker's notifications and lets a test wait for its final one.
class TRecordingSink : public INotificationSink {
public:
  void post(uint32_t code, int32_t value) noexcept override {
    std::lock_guard lock(mutex_);
    received_.push_back({code, value});
    if (isFinal(code)) {
      ++finals_;
      changed_.notify_all();
    }
  }

  // Waits until `count` final notifications arrived; false on time-out.
  bool waitForFinal(std::chrono::milliseconds timeout = std::chrono::seconds(30), int count = 1) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return finals_ >= count; });
  }

  std::vector<TNotification> all() const {
    std::lock_guard lock(mutex_);
    return received_;
  }

  // The notifications with one code, in order.
  std::vector<int32_t> valuesOf(uint32_t code) const {
    std::vector<int32_t> values;
    for (const auto& n : all())
      if (n.code == code) values.push_back(n.value);
    return values;
  }

  TNotification last() const {
    std::lock_guard lock(mutex_);
    return received_.empty() ? TNotification{9999, 0} : received_.back();
  }

  static bool isFinal(uint32_t code) {
    return code == ntf::JobDone || code == ntf::JobFailed || code == ntf::CommFailure;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<TNotification> received_;
  int finals_ = 0;
};

}  // namespace kelvry::test
