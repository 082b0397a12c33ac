// The identities of every port present: the platform says which ports there
// are and what it knows of each.

#include "serial/port_list.h"
#include "serial/usb_port_identity.h"

namespace kelvry {

std::vector<TUsbPortIdentity> listUsbPortIdentities(const TPortListRoots& roots) {
  std::vector<std::string> ports;
  listSerialPorts(ports, roots);
  std::vector<TUsbPortIdentity> identities;
  for (const std::string& port : ports) identities.push_back(readUsbPortIdentity(port, roots));
  return identities;
}

}  // namespace kelvry
