#include "ui/window_notification_sink.h"

namespace kelvry {

void TWindowNotificationSink::post(uint32_t code, int32_t value) noexcept {
  QMetaObject::invokeMethod(
      &FReceiver, [handler = &FHandler, code, value] { (*handler)(code, value); }, Qt::QueuedConnection);
}

}  // namespace kelvry
