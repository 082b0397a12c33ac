// The advice after a port failed to open speaks of the front end the user
// has in front of them: the window's port list or the command line's
// --list-ports. The command line's words stay exactly as they are.

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>

#include "frontend/port_open_advice.h"
#include "serial/terminal_guard_posix.h"

namespace kelvry {
namespace {

struct TWordingCase {
  const char* port;
  TPortOpenError error;
  const char* commandLine;
  const char* window;
};

std::ostream& operator<<(std::ostream& out, const TWordingCase& c) {
  return out << "port \"" << c.port << "\", errno " << c.error.errorNumber;
}

class PortAdviceWording : public ::testing::TestWithParam<TWordingCase> {};

TEST_P(PortAdviceWording, FitsTheFrontEnd) {
  const TWordingCase& c = GetParam();
  EXPECT_EQ(portOpenAdvice(c.port, c.error, "alice"), c.commandLine);
  EXPECT_EQ(portOpenAdvice(c.port, c.error, TPortChooser::CommandLine, "alice"), c.commandLine);
  EXPECT_EQ(portOpenAdvice(c.port, c.error, TPortChooser::Window, "alice"), c.window);
}

INSTANTIATE_TEST_SUITE_P(
    Problems, PortAdviceWording,
    ::testing::Values(
        TWordingCase{"ttyUSB0", {"open", ENOENT, ""},
                     "Serial port \"/dev/ttyUSB0\" does not exist: check the cable, and see --list-ports for the ports "
                     "present.",
                     "Serial port \"/dev/ttyUSB0\" does not exist: check the cable, and pick the logger's port in the "
                     "list."},
        TWordingCase{"/dev/tty", {kOwnTerminalStep, EBUSY, ""},
                     "\"/dev/tty\" is the terminal this program runs in, not a logger's port: pick the logger's port "
                     "(see --list-ports).",
                     "\"/dev/tty\" is the terminal this program runs in, not a logger's port: pick the logger's port "
                     "in the list."},
        // An empty port box: no "/dev/" that does not exist.
        TWordingCase{"", {"open", ENOENT, ""},
                     "Serial port \"/dev/\" does not exist: check the cable, and see --list-ports for the ports "
                     "present.",
                     "No serial port was chosen: pick the logger's port in the list."},
        TWordingCase{"  ", {"open", ENOENT, ""},
                     "Serial port \"/dev/  \" does not exist: check the cable, and see --list-ports for the ports "
                     "present.",
                     "No serial port was chosen: pick the logger's port in the list."},
        // Advice that names no front end is the same in both.
        TWordingCase{"ttyUSB0", {"open", EBUSY, ""},
                     "Serial port \"/dev/ttyUSB0\" is busy: another program holds it. Close that program and try "
                     "again.",
                     "Serial port \"/dev/ttyUSB0\" is busy: another program holds it. Close that program and try "
                     "again."}));

}  // namespace
}  // namespace kelvry
