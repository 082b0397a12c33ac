#pragma once

#include <cstdint>
#include <functional>

#include <QObject>

#include "engine/notification_sink.h"

namespace kelvry {

// Carries worker notifications to the window's thread as queued calls: the
// worker returns at once, and the window handles them one at a time in the
// order they were posted. Calls for a window that no longer exists are
// dropped by Qt.
class TWindowNotificationSink final : public INotificationSink {
public:
  using THandler = std::function<void(uint32_t code, int32_t value)>;

  TWindowNotificationSink(QObject& receiver, THandler handler)
      : FReceiver(receiver), FHandler(std::move(handler)) {}

  void post(uint32_t code, int32_t value) noexcept override;

private:
  QObject& FReceiver;
  THandler FHandler;
};

}  // namespace kelvry
