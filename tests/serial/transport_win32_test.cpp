// The Win32 serial port's failures and names. Whole updates through it run
// against the virtual logger in scripts/test-windows.sh, where a Linux
// pseudo-terminal is mapped as a COM port.

#include <windows.h>

#include <gtest/gtest.h>

#include "waits/cancel_token.h"
#include "serial/platform_transport.h"
#include "serial/port_name.h"
#include "serial/transport_win32.h"

namespace kelvry {
namespace {

TEST(TransportWin32, PortNamesGoThroughTheDeviceNamespace) {
  EXPECT_EQ(win32PortDevice("COM7"), "\\\\.\\COM7");
  EXPECT_EQ(win32PortDevice("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(win32PortDevice("\\\\.\\COM3"), "\\\\.\\COM3");
}

// Whatever the user wrote, one port is opened under one name, and messages
// name it as Device Manager does.
TEST(TransportWin32, EverySpellingOfAPortOpensTheSameDevice) {
  const struct {
    const char* given;
    const char* device;
    const char* shownAs;
  } cases[] = {
      {"com7", "\\\\.\\COM7", "COM7"},
      {"COM7:", "\\\\.\\COM7", "COM7"},
      {"\\\\.\\com7", "\\\\.\\COM7", "COM7"},
      {"\\\\?\\COM7", "\\\\.\\COM7", "COM7"},
      {"com10", "\\\\.\\COM10", "COM10"},
      {"\\\\.\\CNCA0", "\\\\.\\CNCA0", "\\\\.\\CNCA0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win32PortDevice(c.given), c.device) << c.given;
    EXPECT_EQ(portDevicePath(c.given), c.shownAs) << c.given;
  }
}

TEST(TransportWin32, AMissingPortFailsWithTheSystemsReason) {
  TCancelToken cancel;
  TWin32SerialTransport port(cancel);
  for (const char* name : {"COM199", ""}) {
    EXPECT_FALSE(port.open(name, 9600)) << name;
    EXPECT_EQ(port.lastFailure().operation, "CreateFileW") << name;
    EXPECT_TRUE(port.lastFailure().errorNumber == ERROR_FILE_NOT_FOUND ||
                port.lastFailure().errorNumber == ERROR_PATH_NOT_FOUND)
        << name << ": " << port.lastFailure().errorNumber;
    EXPECT_FALSE(port.lastFailure().reason.empty());
    EXPECT_NE(port.lastFailure().reason.back(), '.');
  }
}

TEST(TransportWin32, IsTheJobsPortOnWindows) {
  TCancelToken cancel;
  const auto port = makePlatformTransport(cancel);
  EXPECT_NE(dynamic_cast<TWin32SerialTransport*>(port.get()), nullptr);
}

TEST(TransportWin32, ACancelledReadReturnsAtOnceWithNothing) {
  TCancelToken cancel;
  TWin32SerialTransport port(cancel);
  cancel.cancel();
  uint8_t data[8];
  size_t received = 99;
  EXPECT_TRUE(port.read(data, sizeof data, received, std::chrono::milliseconds(208)));
  EXPECT_EQ(received, 0u);
}

}  // namespace
}  // namespace kelvry
