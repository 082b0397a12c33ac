#pragma once

#include <string>
#include <vector>

#include "serial/usb_port_identity.h"

// Where Windows keeps its serial ports; serial/com_port_rows.h puts the two
// together. Neither opens a port: another program's open of it could fail
// while it was held for a look.

namespace kelvry {

// The COM ports of USB devices in the device tree (SetupAPI's Ports class),
// each with its USB identity and, for FTDI's driver, its latency timer.
std::vector<TUsbPortIdentity> deviceTreeUsbPorts();

// The COM names of the USB virtual ports in the registry's serial-port map,
// in the registry's order (serial/serialcomm_ports.h).
std::vector<std::string> serialMapUsbPorts();

}  // namespace kelvry
