// On Windows a port is known by its COM name only: the registry's serial-port
// map does not say which adapter stands behind it.

#include "serial/usb_port_identity.h"

namespace kelvry {

TUsbPortIdentity readUsbPortIdentity(const std::string& devicePath, const TPortListRoots&) {
  TUsbPortIdentity identity;
  identity.port = devicePath;
  return identity;
}

std::vector<TUsbPortIdentity> listUsbPortIdentities(const TPortListRoots& roots) {
  std::vector<std::string> ports;
  listSerialPorts(ports, roots);
  std::vector<TUsbPortIdentity> identities;
  for (const std::string& port : ports) identities.push_back(readUsbPortIdentity(port, roots));
  return identities;
}

}  // namespace kelvry
