// On Windows the port list and the identities come from one walk over the
// system's ports (serial/port_sources_windows.h), so both agree.

#include "serial/com_port_name.h"
#include "serial/com_port_rows.h"
#include "serial/port_sources_windows.h"
#include "serial/usb_port_identity.h"

namespace kelvry {

// The roots describe Linux's sysfs and are not used here.
std::vector<TUsbPortIdentity> listUsbPortIdentities(const TPortListRoots&) {
  return mergeComPortRows(deviceTreeUsbPorts(), serialMapUsbPorts());
}

// The port keeps the name it was asked by ("com7" stays "com7").
TUsbPortIdentity readUsbPortIdentity(const std::string& devicePath, const TPortListRoots& roots) {
  const std::string port = canonicalComPortName(devicePath);
  for (TUsbPortIdentity& identity : listUsbPortIdentities(roots)) {
    if (identity.port != port) continue;
    identity.port = devicePath;
    return identity;
  }
  TUsbPortIdentity nameOnly;
  nameOnly.port = devicePath;
  return nameOnly;
}

}  // namespace kelvry
