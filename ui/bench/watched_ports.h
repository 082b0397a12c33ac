#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "driver/port_source.h"

// The bench window shows every USB serial port present, those outside the
// filter too (greyed, never opened), while the bench loop sees only the
// filtered ones. Both look through this: whoever asks the source last
// leaves the ports for the window to show, so the source is never asked
// twice for one look.

namespace kelvry {

class TWatchedPorts final : public IPortSource {
public:
  explicit TWatchedPorts(IPortSource& source) : source_(source) {}

  std::vector<TUsbPortIdentity> present() override {
    std::vector<TUsbPortIdentity> ports = source_.present();
    const std::lock_guard lock(mutex_);
    lastSeen_ = ports;
    return ports;
  }
  void jobEnded(const std::string& port) override { source_.jobEnded(port); }

  // The ports of the last look.
  std::vector<TUsbPortIdentity> lastSeen() const {
    const std::lock_guard lock(mutex_);
    return lastSeen_;
  }

private:
  IPortSource& source_;
  mutable std::mutex mutex_;
  std::vector<TUsbPortIdentity> lastSeen_;
};

}  // namespace kelvry
