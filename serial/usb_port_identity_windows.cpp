// On Windows a port is known by its COM name only: the registry's serial-port
// map does not say which adapter stands behind it.

#include "serial/usb_port_identity.h"

namespace kelvry {

TUsbPortIdentity readUsbPortIdentity(const std::string& devicePath, const TPortListRoots&) {
  TUsbPortIdentity identity;
  identity.port = devicePath;
  return identity;
}

}  // namespace kelvry
