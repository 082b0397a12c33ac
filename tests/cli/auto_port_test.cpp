// "--port auto" and the port table, on a fake sysfs.

#include <string>

#include <gtest/gtest.h>

#include "cli/ports/auto_port.h"
#include "cli/ports/port_table.h"
#include "tests/serial/fake_sysfs.h"

namespace kelvry::cli {
namespace {

using namespace test;

using AutoPort = FakeSysfs;

constexpr const char* kSecondAdapter = "pci0000:00/0000:00:14.0/usb1/1-4/1-4:1.0/ttyUSB1";

TEST_F(AutoPort, TakesTheSinglePortAndAnyNamedPortAsItIs) {
  addTty("ttyS0", kBuiltInUart);  // built-in ports do not count
  addTty("ttyUSB0", kUsbSerialAdapter);
  EXPECT_EQ(choosePort("auto", roots).port, devicePath("ttyUSB0"));
  EXPECT_EQ(choosePort("auto", roots).error, "");
  for (const char* named : {"/dev/ttyUSB7", "ttyACM0", "Auto", ""}) {
    const TPortChoice choice = choosePort(named, roots);
    EXPECT_EQ(choice.port, named);
    EXPECT_EQ(choice.error, "");
  }
}

TEST_F(AutoPort, RefusesWithoutAUsbPort) {
  addTty("ttyS0", kBuiltInUart);
  const TPortChoice choice = choosePort("auto", roots);
  EXPECT_EQ(choice.port, "");
  EXPECT_NE(choice.error.find("no USB serial port found"), std::string::npos) << choice.error;
}

TEST_F(AutoPort, RefusesWithSeveralPortsAndListsThem) {
  addTty("ttyUSB0", kUsbSerialAdapter);
  setUsbDevice(kUsbSerialAdapterDevice, {"0403", "6001", "FTDI", "FT232R USB UART", "A10K3XQZ"});
  addTty("ttyUSB1", kSecondAdapter);
  addTty("ttyACM0", kUsbModem);
  const TPortChoice choice = choosePort("auto", roots);
  EXPECT_EQ(choice.port, "");
  EXPECT_NE(choice.error.find("3 USB serial ports found"), std::string::npos) << choice.error;
  for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyACM0"})
    EXPECT_NE(choice.error.find(devicePath(name)), std::string::npos) << choice.error;
  EXPECT_NE(choice.error.find("0403:6001"), std::string::npos) << choice.error;
  EXPECT_NE(choice.error.back(), '\n');
}

TEST(PortTable, OneAlignedRowPerPortWithDashesForWhatIsUnknown) {
  const std::vector<TUsbPortIdentity> ports = {
      {"/dev/ttyACM0", "2341", "0043", "", "Uno", "", std::nullopt},
      {"/dev/ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XQZ", 16},
  };
  EXPECT_EQ(formatPortTable(ports),
            "Port          USB ID     Maker  Product          Serial    Latency\n"
            "/dev/ttyACM0  2341:0043  -      Uno              -         -\n"
            "/dev/ttyUSB0  0403:6001  FTDI   FT232R USB UART  A10K3XQZ  16 ms\n");
  EXPECT_EQ(formatPortTable({}), "");
}

}  // namespace
}  // namespace kelvry::cli
