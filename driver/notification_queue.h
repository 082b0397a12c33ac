#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>

#include "engine/notification_sink.h"

// The command line's stand-in for a window's message queue: the worker
// posts, the main thread takes the notifications out in posting order.

namespace kelvry {

class TNotificationQueue : public INotificationSink {
public:
  void post(uint32_t code, int32_t value) noexcept override;

  // The oldest notification; waits until there is one.
  TNotification take();

private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<TNotification> queue_;
};

}  // namespace kelvry
