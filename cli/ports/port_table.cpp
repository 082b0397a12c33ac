#include "cli/ports/port_table.h"

#include "cli/outputs/text_table.h"
#include "cli/ports/latency_advice.h"
#include "frontend/text_format.h"

namespace kelvry::cli {

namespace {

TTableRow portRow(const TUsbPortIdentity& port) {
  const std::string usbId = port.vendorId.empty() ? std::string() : port.vendorId + ":" + port.productId;
  const std::string latency = port.latencyTimerMs ? std::to_string(*port.latencyTimerMs) + " ms" : std::string();
  return {port.port,         orDash(usbId),       orDash(port.manufacturer),
          orDash(port.product), orDash(port.serialNumber), orDash(latency)};
}

}  // namespace

std::string formatPortRows(const std::vector<TUsbPortIdentity>& ports) {
  if (ports.empty()) return {};
  std::vector<TTableRow> rows;
  for (const TUsbPortIdentity& port : ports) rows.push_back(portRow(port));
  return formatTable({"Port", "USB ID", "Maker", "Product", "Serial", "Latency"}, rows);
}

std::string formatPortTable(const std::vector<TUsbPortIdentity>& ports) {
  return formatPortRows(ports) + latencyAdvice(ports, latencyTimerHowTo());
}

}  // namespace kelvry::cli
