#include "frontend/port_open_advice.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "serial/terminal_guard_posix.h"

namespace kelvry {

std::string currentUserName() {
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return entry->pw_name;
  if (const char* user = std::getenv("USER"); user && *user) return user;
  return "$USER";
}

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error, const std::string& userName) {
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
  // "literal" + std::string.
  std::string device("\"");
  device += portDevicePath(sPort);
  device += '"';
  if (error.operation == kOwnTerminalStep)
    return device + " is the terminal this program runs in, not a logger's port: pick the logger's port "
                    "(see --list-ports).";
  switch (error.errorNumber) {
    case 0:
      return "Serial port " + device + " could not be opened; it may have been busy or unplugged for a moment. Try again.";
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return "Serial port " + device + " does not exist: check the cable, and see --list-ports for the ports present.";
    case EACCES:
    case EPERM:
      // Group membership is read at login: the new group only counts in a
      // session started after the change.
      return "Permission denied on serial port " + device + ": add your user to the dialout group with \"sudo usermod -aG dialout " +
             userName + "\", then log out and log in again (the new group counts only from the next login).";
    case EBUSY:
    case EWOULDBLOCK:
      return "Serial port " + device + " is busy: another program holds it. Close that program and try again.";
    case ENOTTY:
    case EINVAL:
      return device + " is not a serial port the logger can use (" + error.operation + ": " +
             std::strerror(error.errorNumber) + ").";
    default:
      return "Serial port " + device + " cannot be opened (" + error.operation + ": " +
             std::strerror(error.errorNumber) + ").";
  }
}

}  // namespace kelvry
