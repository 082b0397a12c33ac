#pragma once

#include <string>
#include <vector>

#include "serial/usb_port_identity.h"

// Where bench mode learns which ports are plugged in right now. The real
// one lists the USB serial ports; tests and --simulate give their own, so a
// plug or an unplug is whatever they say it is.

namespace kelvry {

class IPortSource {
public:
  virtual ~IPortSource() = default;
  // The ports present now, each with its USB identity.
  virtual std::vector<TUsbPortIdentity> present() = 0;
  // The bench finished its job on `port`; a virtual bench unplugs it.
  virtual void jobEnded(const std::string& /*port*/) {}
};

// Every USB serial port of the computer.
class TUsbPortSource final : public IPortSource {
public:
  std::vector<TUsbPortIdentity> present() override { return listUsbPortIdentities(); }
};

}  // namespace kelvry
