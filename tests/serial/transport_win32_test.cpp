// The Win32 serial port's failures and names. Whole updates through it run
// against the virtual logger in scripts/test-windows.sh, where a Linux
// pseudo-terminal is mapped as a COM port.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

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

// These need a COM port whose far end never answers: scripts/test-windows.sh
// maps a silent virtual logger and names the port in KELVRY_SILENT_COM_PORT.
class SilentComPort : public ::testing::Test {
protected:
  void SetUp() override {
    name_ = std::getenv("KELVRY_SILENT_COM_PORT");
    if (!name_) GTEST_SKIP() << "no silent COM port mapped";
    ASSERT_TRUE(port_.open(name_, 9600)) << port_.lastFailure().reason;
  }

  std::shared_ptr<TCancelToken> cancel_ = std::make_shared<TCancelToken>();
  TWin32SerialTransport port_{*cancel_};
  const char* name_ = nullptr;
};

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST_F(SilentComPort, AReadEndsAtItsTimeOutWithNothing) {
  uint8_t data[8];
  size_t received = 99;
  const auto start = Clock::now();
  EXPECT_TRUE(port_.read(data, sizeof data, received, 300ms))
      << port_.lastFailure().operation << ": " << port_.lastFailure().errorNumber << " " << port_.lastFailure().reason;
  const double took = msSince(start);
  EXPECT_EQ(received, 0u);
  EXPECT_GE(took, 250.0);
  EXPECT_LT(took, 2000.0);
}

TEST_F(SilentComPort, ACancelEndsAWaitingReadAtOnce) {
  constexpr auto kCancelAfter = 300ms;
  std::thread canceller([this, kCancelAfter] {
    std::this_thread::sleep_for(kCancelAfter);
    cancel_->cancel();
  });
  uint8_t data[8];
  size_t received = 99;
  const auto start = Clock::now();
  EXPECT_TRUE(port_.read(data, sizeof data, received, 5000ms));
  const double took = msSince(start);
  canceller.join();
  EXPECT_EQ(received, 0u);
  EXPECT_LT(took, 2000.0) << "the read ran out its time-out instead of ending at the cancel";
  std::printf("cancel to the read's end: %.1f ms\n", took - 300.0);
  // The port stays usable for the next job's read after the cancel.
  TCancelToken fresh;
  TWin32SerialTransport next(fresh);
  port_.close();
  ASSERT_TRUE(next.open(name_, 9600)) << next.lastFailure().reason;
  EXPECT_TRUE(next.read(data, sizeof data, received, 100ms));
}

}  // namespace
}  // namespace kelvry
