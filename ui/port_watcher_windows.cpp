// Windows tells every top-level window when a serial port arrives or is
// removed (WM_DEVICECHANGE with a port's broadcast header); Qt hands such
// messages to native event filters before it looks at them itself.

#include "ui/port_watcher.h"

#include <windows.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include "serial/device_change.h"

namespace kelvry {

namespace {

constexpr int kPollMs = 5000;

// Lives as the watcher's child; Qt takes the filter out when it is deleted.
class TDeviceChangeFilter : public QObject, public QAbstractNativeEventFilter {
public:
  explicit TDeviceChangeFilter(TPortWatcher* watcher) : QObject(watcher), FWatcher(watcher) {
    QCoreApplication::instance()->installNativeEventFilter(this);
  }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == WM_DEVICECHANGE &&
        isPortDeviceChange(static_cast<uint32_t>(msg->wParam), reinterpret_cast<const void*>(msg->lParam)))
      emit FWatcher->devicesMayHaveChanged();
    return false;  // the window's own handling goes on
  }

private:
  TPortWatcher* FWatcher;
};

}  // namespace

// The roots describe Linux's /dev and are not used here. A slow poll catches
// a port whose driver sends no device-change message.
TPortWatcher::TPortWatcher(const TPortListRoots&, QObject* parent) : QObject(parent) {
  new TDeviceChangeFilter(this);
  connect(&FPoll, &QTimer::timeout, this, &TPortWatcher::devicesMayHaveChanged);
  FPoll.start(kPollMs);
}

}  // namespace kelvry
