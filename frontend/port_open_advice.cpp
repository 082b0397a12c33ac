#include "frontend/port_open_advice.h"

#include <cerrno>
#include <cstring>

#include "serial/terminal_guard_posix.h"

namespace kelvry {

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error) {
  const std::string device = "\"" + portDevicePath(sPort) + "\"";
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
      return "Permission denied on serial port " + device +
             ": add your user to the dialout group (sudo usermod -aG dialout $USER), then log in again.";
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
