// Opening and closing a port: failures leave nothing open, the port is held
// exclusively, and every line setting is applied on each open.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "serial/serial_port.h"
#include "tests/serial/pseudo_terminal.h"

namespace kelvry {
namespace {

using test::openDescriptorCount;
using test::TPseudoTerminal;

TEST(PortDevicePath, MapsBareNamesIntoDev) {
  const struct {
    const char* name;
    const char* path;
  } cases[] = {
      {"ttyUSB0", "/dev/ttyUSB0"},
      {"ttyACM12", "/dev/ttyACM12"},
      {"pts/3", "/dev/pts/3"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"/dev/serial/by-id/usb-Kelvry-if00", "/dev/serial/by-id/usb-Kelvry-if00"},
  };
  for (const auto& c : cases) EXPECT_EQ(portDevicePath(c.name), c.path) << c.name;
}

struct TOpenFailure {
  std::string name;
  int32_t baud;
  int errorNumber;
  std::string operation;
};

void expectOpenFails(const TOpenFailure& c) {
  SCOPED_TRACE(c.name + " at " + std::to_string(c.baud));
  const size_t descriptorsBefore = openDescriptorCount();
  TPortOpenError why;
  EXPECT_EQ(openComPort(c.name, c.baud, &why), INVALID_PORT_HANDLE);
  EXPECT_EQ(why.errorNumber, c.errorNumber);
  EXPECT_EQ(why.operation, c.operation);
  EXPECT_EQ(why.reason, std::strerror(c.errorNumber));
  EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
}

TEST(OpenComPort, MissingOrUnusableDevicesFailAndLeaveNothingOpen) {
  const std::filesystem::path regularFile =
      std::filesystem::temp_directory_path() / ("kelvry-serial-" + std::to_string(getpid()));
  std::fclose(std::fopen(regularFile.c_str(), "w"));

  const TOpenFailure cases[] = {
      {"/dev/kelvry-no-such-port", 9600, ENOENT, "open"},
      {"kelvry-no-such-port", 9600, ENOENT, "open"},
      {"", 9600, ENOENT, "open"},
      // Not a terminal: the first terminal request already refuses it.
      {"/dev/null", 9600, ENOTTY, "TIOCEXCL"},
      {"null", 9600, ENOTTY, "TIOCEXCL"},
      {regularFile.string(), 9600, ENOTTY, "TIOCEXCL"},
  };
  for (const auto& c : cases) expectOpenFails(c);

  // The failed open gave its advisory lock back.
  const int fd = open(regularFile.c_str(), O_RDWR | O_CLOEXEC);
  EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  close(fd);
  std::filesystem::remove(regularFile);
}

TEST(OpenComPort, UnsupportedBaudRateFailsWithoutTouchingThePort) {
  TPseudoTerminal line;
  for (int32_t baud : {0, -9600, 9601, 12345, 7372800}) {
    expectOpenFails({line.slavePath(), baud, EINVAL, "cfsetspeed"});
    EXPECT_FALSE(line.exclusiveFlag());
  }
}

TEST(OpenComPort, SuccessClearsTheReasonAndHoldsTheTtyExclusively) {
  TPseudoTerminal line;
  TPortOpenError why;
  ASSERT_EQ(openComPort("/dev/kelvry-no-such-port", 9600, &why), INVALID_PORT_HANDLE);

  const TPortHandle port = openComPort(line.slavePath(), 9600, &why);
  ASSERT_NE(port, INVALID_PORT_HANDLE) << why.operation << ": " << why.errorNumber;
  EXPECT_FALSE(why.failed());
  EXPECT_TRUE(line.exclusiveFlag());
  closeComPort(port);
}

TEST(OpenComPort, BareNameOpensTheDeviceInDev) {
  TPseudoTerminal line;
  const std::string bareName = line.slavePath().substr(std::string("/dev/").size());

  const TPortHandle port = openComPort(bareName, 9600);
  ASSERT_NE(port, INVALID_PORT_HANDLE);
  EXPECT_TRUE(line.exclusiveFlag());  // the same tty, reached through /dev
  closeComPort(port);
}

TEST(OpenComPort, SecondOpenWhileHeldFailsAndLeavesTheHolderIntact) {
  TPseudoTerminal line;
  const TPortHandle holder = openComPort(line.slavePath(), 9600);
  ASSERT_NE(holder, INVALID_PORT_HANDLE);

  // A user without privileges is stopped by the exclusive flag (EBUSY);
  // root passes that and is stopped by the advisory lock.
  const size_t descriptorsBefore = openDescriptorCount();
  TPortOpenError error;
  EXPECT_EQ(openComPort(line.slavePath(), 9600, &error), INVALID_PORT_HANDLE);
  EXPECT_TRUE((error.errorNumber == EBUSY && error.operation == "open") ||
              (error.errorNumber == EWOULDBLOCK && error.operation == "flock"))
      << error.operation << ": " << error.errorNumber;
  EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
  EXPECT_TRUE(line.exclusiveFlag()) << "the refused open must not release the holder's claim";

  closeComPort(holder);
}

TEST(OpenComPort, PortHeldExclusivelyByAnotherProgramIsRefusedAndKeepsItsClaim) {
  TPseudoTerminal line;
  // Another program: its own descriptor with the exclusive flag, no lock.
  const int other = open(line.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(other, 0);
  ASSERT_EQ(ioctl(other, TIOCEXCL), 0);

  // Root passes the flag at open(); the port layer must still refuse.
  TPortOpenError why;
  EXPECT_EQ(openComPort(line.slavePath(), 9600, &why), INVALID_PORT_HANDLE);
  EXPECT_EQ(why.errorNumber, EBUSY);
  EXPECT_TRUE(line.exclusiveFlag()) << "the other program's claim must stay";

  ioctl(other, TIOCNXCL);
  close(other);
  const TPortHandle port = openComPort(line.slavePath(), 9600);
  EXPECT_NE(port, INVALID_PORT_HANDLE);
  closeComPort(port);
}

TEST(CloseComPort, ReleasesTheTtySoTheNextJobCanOpenIt) {
  TPseudoTerminal line;
  const size_t descriptorsBefore = openDescriptorCount();
  for (int job = 0; job < 3; ++job) {
    const TPortHandle port = openComPort(line.slavePath(), 9600);
    ASSERT_NE(port, INVALID_PORT_HANDLE) << "job " << job;
    closeComPort(port);
    // The far end keeps the tty open, so the exclusive flag would outlive the
    // descriptor if closing did not clear it.
    EXPECT_FALSE(line.exclusiveFlag());
    EXPECT_EQ(openDescriptorCount(), descriptorsBefore);
  }
  closeComPort(INVALID_PORT_HANDLE);  // nothing to do, no crash
}

// Settings a previous user might have left on the tty; none may survive.
void spoilLineSettings(int fd) {
  termios spoiled{};
  ASSERT_EQ(tcgetattr(fd, &spoiled), 0);
  spoiled.c_cflag = (spoiled.c_cflag & ~CSIZE) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
  spoiled.c_cflag &= ~CLOCAL;
  spoiled.c_iflag |= IXON | IXOFF | IXANY | INPCK | ISTRIP | ICRNL | INLCR | PARMRK | BRKINT;
  spoiled.c_oflag |= OPOST | ONLCR;
  spoiled.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  spoiled.c_cc[VMIN] = 5;
  spoiled.c_cc[VTIME] = 3;
  cfsetspeed(&spoiled, B1200);
  ASSERT_EQ(tcsetattr(fd, TCSANOW, &spoiled), 0);
}

TEST(OpenComPort, AppliesRaw8N1WithoutFlowControlRegardlessOfEarlierSettings) {
  TPseudoTerminal line;
  spoilLineSettings(line.heldSlave());

  const TPortHandle port = openComPort(line.slavePath(), 9600);
  ASSERT_NE(port, INVALID_PORT_HANDLE);
  termios applied{};
  ASSERT_EQ(tcgetattr(line.heldSlave(), &applied), 0);

  EXPECT_EQ(applied.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(applied.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
  EXPECT_EQ(applied.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
  EXPECT_EQ(applied.c_iflag & (IXON | IXOFF | IXANY | INPCK | ISTRIP | ICRNL | INLCR | IGNCR | PARMRK |
                               BRKINT | IGNPAR),
            0u);
  EXPECT_EQ(applied.c_oflag & OPOST, 0u);
  EXPECT_EQ(applied.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(applied.c_cc[VMIN], 0);
  EXPECT_EQ(applied.c_cc[VTIME], 0);
  EXPECT_EQ(cfgetispeed(&applied), static_cast<speed_t>(B9600));
  EXPECT_EQ(cfgetospeed(&applied), static_cast<speed_t>(B9600));
  closeComPort(port);
}

TEST(OpenComPort, SetsTheRequestedBaudRate) {
  const struct {
    int32_t baud;
    speed_t speed;
  } cases[] = {{1200, B1200}, {9600, B9600}, {19200, B19200}, {115200, B115200}, {921600, B921600}};
  TPseudoTerminal line;
  for (const auto& c : cases) {
    const TPortHandle port = openComPort(line.slavePath(), c.baud);
    ASSERT_NE(port, INVALID_PORT_HANDLE) << c.baud;
    termios applied{};
    ASSERT_EQ(tcgetattr(line.heldSlave(), &applied), 0);
    EXPECT_EQ(cfgetospeed(&applied), c.speed) << c.baud;
    closeComPort(port);
  }
}

}  // namespace
}  // namespace kelvry
