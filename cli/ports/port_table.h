#pragma once

#include <string>
#include <vector>

#include "serial/usb_port_identity.h"

// The USB serial ports present as a table for --list-ports: one row per
// port with what its USB device says about itself, so that the logger can
// be told from other adapters.

namespace kelvry::cli {

// "Port", "USB ID", "Maker", "Product", "Serial", "Latency" aligned; "-" for
// what a port does not tell. Empty when there are no ports.
std::string formatPortRows(const std::vector<TUsbPortIdentity>& ports);

// The rows for --list-ports, followed by the advice on slow latency timers
// where the platform has one (cli/latency_advice.h).
std::string formatPortTable(const std::vector<TUsbPortIdentity>& ports);

}  // namespace kelvry::cli
