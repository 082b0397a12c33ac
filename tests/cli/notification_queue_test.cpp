// The queue between the worker and the command line's main thread.

#include <gtest/gtest.h>

#include <thread>

#include "driver/notification_queue.h"

namespace kelvry::cli {
namespace {

TEST(NotificationQueue, KeepsThePostingOrderAcrossThreads) {
  TNotificationQueue queue;
  constexpr int kCount = 10000;
  std::thread worker([&] {
    for (int i = 0; i < kCount; ++i) queue.post(1, i);
    queue.post(0, 0);
  });
  for (int i = 0; i < kCount; ++i) {
    const TNotification next = queue.take();
    ASSERT_EQ(next, (TNotification{1, i}));
  }
  EXPECT_EQ(queue.take(), (TNotification{0, 0}));
  worker.join();
}

}  // namespace
}  // namespace kelvry::cli
