#include "cli/ports/auto_port.h"

#include <vector>

#include "cli/ports/port_table.h"
#include "serial/usb_port_identity.h"

namespace kelvry::cli {

TPortChoice choosePort(const std::string& requested, const TPortListRoots& roots) {
  if (requested != kAutoPort) return {requested, {}};
  const std::vector<TUsbPortIdentity> ports = listUsbPortIdentities(roots);
  if (ports.size() == 1) return {ports.front().port, {}};
  if (ports.empty()) return {{}, "--port auto: no USB serial port found; plug the logger in, or give its port"};
  // The rows only: a refusal is no place for advice on speed.
  std::string table = formatPortRows(ports);
  table.pop_back();  // the caller ends the message's line
  return {{}, "--port auto: " + std::to_string(ports.size()) +
                  " USB serial ports found; give the logger's port with --port:\n" + table};
}

}  // namespace kelvry::cli
