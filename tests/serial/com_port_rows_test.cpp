// The Windows port list: the device tree's rows and the serial-port map's
// names put together.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/com_port_rows.h"

namespace kelvry {
namespace {

TUsbPortIdentity row(const std::string& port, const std::string& serialNumber = {}) {
  TUsbPortIdentity identity;
  identity.port = port;
  if (!serialNumber.empty()) {
    identity.vendorId = "0403";
    identity.productId = "6001";
    identity.serialNumber = serialNumber;
    identity.latencyTimerMs = 16;
  }
  return identity;
}

std::vector<std::string> portsOf(const std::vector<TUsbPortIdentity>& rows) {
  std::vector<std::string> ports;
  for (const TUsbPortIdentity& identity : rows) ports.push_back(identity.port);
  return ports;
}

TEST(ComPortRows, TheDeviceTreeKnowsWhoIsBehindAPortTheMapAddsTheRest) {
  const std::vector<TUsbPortIdentity> rows =
      mergeComPortRows({row("COM10", "A600ATC3"), row("COM3", "FT4ZS6I3")}, {"COM3", "com10", "COM7", "COM7"});
  ASSERT_EQ(portsOf(rows), (std::vector<std::string>{"COM3", "COM7", "COM10"}));
  EXPECT_EQ(rows[0].serialNumber, "FT4ZS6I3");
  EXPECT_EQ(rows[1].vendorId, "");  // known to the map only, as under Wine
  EXPECT_FALSE(rows[1].latencyTimerMs);
  EXPECT_EQ(rows[2].serialNumber, "A600ATC3");
  EXPECT_EQ(rows[2].latencyTimerMs, 16);
}

TEST(ComPortRows, SortedByNumberWithOtherNamesLast) {
  const struct {
    const char* what;
    std::vector<TUsbPortIdentity> deviceTree;
    std::vector<std::string> serialMap;
    std::vector<std::string> ports;
  } cases[] = {
      {"nothing plugged in", {}, {}, {}},
      {"the map only", {}, {"COM12", "COM2", "COM1"}, {"COM1", "COM2", "COM12"}},
      {"the tree only", {row("COM4", "X1"), row("com2", "X2")}, {}, {"COM2", "COM4"}},
      {"one port in both spellings", {row("COM5", "X1")}, {"\\\\.\\COM5", "COM5:"}, {"COM5"}},
      {"names that are no COM port", {row("CNCA1", "X1")}, {"COM9", "", "CNCA0"}, {"COM9", "CNCA0", "CNCA1"}},
  };
  for (const auto& c : cases) EXPECT_EQ(portsOf(mergeComPortRows(c.deviceTree, c.serialMap)), c.ports) << c.what;
}

}  // namespace
}  // namespace kelvry
