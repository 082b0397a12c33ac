// The port list on Windows, where FTDI's latency timer stays as the
// registry has it: the list says how to lower a slow one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ports/port_table.h"

namespace kelvry::cli {
namespace {

TEST(PortTableWindows, AdvisesDeviceManagerForASlowLatencyTimer) {
  TUsbPortIdentity ftdi;
  ftdi.port = "COM7";
  ftdi.vendorId = "0403";
  ftdi.productId = "6001";
  ftdi.manufacturer = "FTDI";
  ftdi.product = "USB Serial Port";
  ftdi.serialNumber = "A600ATC3";
  ftdi.latencyTimerMs = 16;
  TUsbPortIdentity quick = ftdi;
  quick.port = "COM8";
  quick.latencyTimerMs = 1;

  const std::string table = formatPortTable({ftdi, quick});
  EXPECT_EQ(table.find(formatPortRows({ftdi, quick})), 0u) << table;
  const std::string advice = table.substr(formatPortRows({ftdi, quick}).size());
  EXPECT_NE(advice.find("on COM7:"), std::string::npos) << advice;
  EXPECT_EQ(advice.find("COM8"), std::string::npos) << advice;
  EXPECT_NE(advice.find("Device Manager > Ports (COM & LPT) >"), std::string::npos) << advice;
  EXPECT_NE(advice.find("Latency Timer (msec)"), std::string::npos) << advice;
  EXPECT_EQ(advice.find('\n'), advice.size() - 1) << "one line: " << advice;

  EXPECT_EQ(formatPortTable({quick}), formatPortRows({quick}));
}

}  // namespace
}  // namespace kelvry::cli
