#include "driver/notification_queue.h"

namespace kelvry {

void TNotificationQueue::post(uint32_t code, int32_t value) noexcept {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back({code, value});
  }
  posted_.notify_one();
}

TNotification TNotificationQueue::take() {
  std::unique_lock lock(mutex_);
  posted_.wait(lock, [this] { return !queue_.empty(); });
  const TNotification next = queue_.front();
  queue_.pop_front();
  return next;
}

}  // namespace kelvry
