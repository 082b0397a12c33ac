#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/usb_port_identity.h"

// --port-filter VID:PID[:SERIAL]: which USB serial ports bench mode may
// take, so that another device's serial port on the same computer (a
// mouse's receiver, a modem) is never opened.

namespace kelvry {

struct TPortFilter {
  std::string vendorId;      // four hex digits, lower case
  std::string productId;
  std::string serialNumber;  // empty: any
};

// "0403:6001" or "0403:6001:A10K3XQZ"; nothing when the text is not one.
std::optional<TPortFilter> parsePortFilter(const std::string& text);

// True when `identity` matches one of `filters`, or there are none.
bool portPassesFilters(const TUsbPortIdentity& identity, const std::vector<TPortFilter>& filters);

}  // namespace kelvry
