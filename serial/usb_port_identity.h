#pragma once

#include <optional>
#include <string>
#include <vector>

#include "serial/port_list.h"

// What a USB serial port says about itself, so that a technician with
// several adapters plugged in can tell which one is the logger.

namespace kelvry {

struct TUsbPortIdentity {
  std::string port;          // the device path, as listSerialPorts gives it
  std::string vendorId;      // four hex digits, e.g. "0403"; empty when unknown
  std::string productId;     // e.g. "6001"
  std::string manufacturer;  // the maker's name as the device reports it
  std::string product;       // the product name as the device reports it
  std::string serialNumber;  // empty when the device has none
  // The adapter's receive latency timer in milliseconds, for drivers that
  // have one (FTDI's); unset for all others.
  std::optional<int> latencyTimerMs;
};

// The identity of one port given by its device path ("/dev/ttyUSB0"); only
// `port` is filled when sysfs knows nothing about it.
TUsbPortIdentity readUsbPortIdentity(const std::string& devicePath, const TPortListRoots& roots = {});

// The identities of the ports listSerialPorts finds, in the same order.
std::vector<TUsbPortIdentity> listUsbPortIdentities(const TPortListRoots& roots = {});

// "0403:6001 FTDI FT232R USB UART, serial A12345": one line for a tooltip;
// empty when nothing is known.
std::string usbIdentitySummary(const TUsbPortIdentity& identity);

}  // namespace kelvry
