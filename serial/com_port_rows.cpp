#include "serial/com_port_rows.h"

#include <algorithm>

#include "serial/com_port_name.h"

namespace kelvry {

namespace {

bool isListed(const std::vector<TUsbPortIdentity>& rows, const std::string& port) {
  return std::ranges::any_of(rows, [&](const TUsbPortIdentity& row) { return row.port == port; });
}

// Names that are no COM port (a driver may name its ports freely) go last,
// by name.
bool comesBefore(const TUsbPortIdentity& a, const TUsbPortIdentity& b) {
  const unsigned numberA = comPortNumber(a.port);
  const unsigned numberB = comPortNumber(b.port);
  if ((numberA == 0) != (numberB == 0)) return numberA != 0;
  if (numberA != numberB) return numberA < numberB;
  return a.port < b.port;
}

}  // namespace

std::vector<TUsbPortIdentity> mergeComPortRows(std::vector<TUsbPortIdentity> deviceTreePorts,
                                               const std::vector<std::string>& serialMapPorts) {
  std::vector<TUsbPortIdentity> rows;
  for (TUsbPortIdentity& row : deviceTreePorts) {
    row.port = canonicalComPortName(row.port);
    if (!row.port.empty() && !isListed(rows, row.port)) rows.push_back(std::move(row));
  }
  for (const std::string& name : serialMapPorts) {
    const std::string port = canonicalComPortName(name);
    if (port.empty() || isListed(rows, port)) continue;
    TUsbPortIdentity nameOnly;
    nameOnly.port = port;
    rows.push_back(std::move(nameOnly));
  }
  std::ranges::stable_sort(rows, comesBefore);
  return rows;
}

}  // namespace kelvry
