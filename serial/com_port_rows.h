#pragma once

#include <string>
#include <vector>

#include "serial/usb_port_identity.h"

// The Windows port list is put together from two sources: the device tree
// (SetupAPI), which knows each adapter's USB identity, and the registry's
// serial-port map, which knows only COM names but also holds ports that no
// device stands behind (Wine maps its COM ports there only). Plain logic, so
// that it is tested everywhere.

namespace kelvry {

// The ports of the device tree, followed by each port of the serial-port map
// that the tree does not know (as a row with its name only); each port once
// under its canonical COM name, sorted by COM number (COM2 before COM10).
std::vector<TUsbPortIdentity> mergeComPortRows(std::vector<TUsbPortIdentity> deviceTreePorts,
                                               const std::vector<std::string>& serialMapPorts);

}  // namespace kelvry
