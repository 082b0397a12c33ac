#pragma once

#include <cstdint>

namespace kelvry {

// One worker notification: a code and a signed 32-bit value. 16-bit
// quantities travel zero-extended.
struct TNotification {
  uint32_t code = 0;
  int32_t value = 0;
  friend bool operator==(const TNotification&, const TNotification&) = default;
};

// Where a worker posts its notifications. post() must return at once, never
// block on the front end, and keep the posting order.
class INotificationSink {
public:
  virtual ~INotificationSink() = default;
  virtual void post(uint32_t code, int32_t value) noexcept = 0;
};

}  // namespace kelvry
