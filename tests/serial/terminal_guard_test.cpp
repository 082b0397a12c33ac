// The terminal around a port: the user's own terminal is never taken as a
// logger's port, and every port gets its line settings back at close.

#include "serial/terminal_guard_posix.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "serial/serial_port.h"
#include "tests/serial/pseudo_terminal.h"

namespace kelvry {
namespace {

// The settings a shell leaves on a terminal: canonical input with echo, at a
// speed the logger does not use.
termios cookedSettings(int fd) {
  termios settings{};
  EXPECT_EQ(tcgetattr(fd, &settings), 0);
  settings.c_lflag |= ICANON | ECHO | ISIG;
  settings.c_iflag |= ICRNL | IXON;
  settings.c_oflag |= OPOST | ONLCR;
  cfsetispeed(&settings, B4800);
  cfsetospeed(&settings, B4800);
  EXPECT_EQ(tcsetattr(fd, TCSANOW, &settings), 0);
  EXPECT_EQ(tcgetattr(fd, &settings), 0);
  return settings;
}

void expectSameSettings(const termios& actual, const termios& expected) {
  EXPECT_EQ(actual.c_iflag, expected.c_iflag);
  EXPECT_EQ(actual.c_oflag, expected.c_oflag);
  EXPECT_EQ(actual.c_cflag, expected.c_cflag);
  EXPECT_EQ(actual.c_lflag, expected.c_lflag);
  EXPECT_EQ(cfgetospeed(&actual), cfgetospeed(&expected));
}

TEST(LineSettings, ComeBackWhenThePortIsClosed) {
  test::TPseudoTerminal line;
  const termios before = cookedSettings(line.heldSlave());

  TSavedLineSettings previous;
  const TPortHandle port = openComPort(line.slavePath(), 9600, nullptr, &previous);
  ASSERT_NE(port, INVALID_PORT_HANDLE);
  termios during{};
  ASSERT_EQ(tcgetattr(line.heldSlave(), &during), 0);
  EXPECT_EQ(cfgetospeed(&during), B9600);
  EXPECT_EQ(during.c_lflag & (ICANON | ECHO), 0u);
  closeComPort(port, &previous);

  termios after{};
  ASSERT_EQ(tcgetattr(line.heldSlave(), &after), 0);
  expectSameSettings(after, before);
}

TEST(LineSettings, AreNotTouchedWhenNoneWereSaved) {
  test::TPseudoTerminal line;
  const termios before = cookedSettings(line.heldSlave());
  restoreLineSettings(line.heldSlave(), TSavedLineSettings{});
  termios after{};
  ASSERT_EQ(tcgetattr(line.heldSlave(), &after), 0);
  expectSameSettings(after, before);
}

// Puts a terminal on standard input for the life of the object.
class TStandardInputAs {
public:
  explicit TStandardInputAs(int fd) : saved_(dup(STDIN_FILENO)) { dup2(fd, STDIN_FILENO); }
  ~TStandardInputAs() {
    dup2(saved_, STDIN_FILENO);
    close(saved_);
  }
  TStandardInputAs(const TStandardInputAs&) = delete;
  TStandardInputAs& operator=(const TStandardInputAs&) = delete;

private:
  int saved_;
};

TEST(OwnTerminal, TheTerminalOnStandardInputIsRefusedAndLeftAsItWas) {
  test::TPseudoTerminal line;
  const termios before = cookedSettings(line.heldSlave());
  TPortHandle port = INVALID_PORT_HANDLE;
  TPortOpenError why;
  {
    const TStandardInputAs input(line.heldSlave());
    port = openComPort(line.slavePath(), 9600, &why);
  }
  if (port != INVALID_PORT_HANDLE) closeComPort(port);
  EXPECT_EQ(port, INVALID_PORT_HANDLE);
  EXPECT_EQ(why.operation, kOwnTerminalStep);
  EXPECT_FALSE(line.exclusiveFlag());
  termios after{};
  ASSERT_EQ(tcgetattr(line.heldSlave(), &after), 0);
  expectSameSettings(after, before);
}

// What a child in its own session, with `slavePath` as controlling terminal
// and no terminal on its standard streams, gets from opening `port`: 0 for
// refused as its own terminal, 1 opened, 2 refused for another reason.
int openInSessionOf(const std::string& slavePath, const std::string& port) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(10);
    setsid();
    const int controlling = open(slavePath.c_str(), O_RDWR);  // the first terminal a leader opens
    const int null = open("/dev/null", O_RDWR);
    if (controlling < 0 || null < 0) _exit(3);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(null, stream);
    TPortOpenError why;
    const TPortHandle handle = openComPort(port, 9600, &why);
    if (handle != INVALID_PORT_HANDLE) _exit(1);
    _exit(why.operation == kOwnTerminalStep ? 0 : 2);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(OwnTerminal, TheControllingTerminalIsRefusedByEitherName) {
  test::TPseudoTerminal line;
  EXPECT_EQ(openInSessionOf(line.slavePath(), "/dev/tty"), 0);
  EXPECT_EQ(openInSessionOf(line.slavePath(), line.slavePath()), 0);
  EXPECT_FALSE(line.exclusiveFlag());
}

TEST(OwnTerminal, AnotherTerminalIsNotOwn) {
  test::TPseudoTerminal line;
  EXPECT_FALSE(isOwnTerminal(line.heldSlave()));
  const TPortHandle port = openComPort(line.slavePath(), 9600);
  EXPECT_NE(port, INVALID_PORT_HANDLE);
  closeComPort(port);
}

}  // namespace
}  // namespace kelvry
