#include "frontend/port_open_advice.h"

#include "frontend/port_open_problem.h"
#include "serial/port_name.h"

namespace kelvry {

namespace {

std::string systemReason(const TPortOpenError& error) {
  return error.operation + ": " + (error.reason.empty() ? "error " + std::to_string(error.errorNumber) : error.reason);
}

// A blank port box names no port at all; "/dev/" would only confuse.
bool isBlank(const std::string& sPort) { return sPort.find_first_not_of(" \t") == std::string::npos; }

}  // namespace

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error, TPortChooser chooser,
                           const std::string& userName) {
  const bool bWindow = chooser == TPortChooser::Window;
  if (bWindow && isBlank(sPort)) return "No serial port was chosen: pick the logger's port in the list.";
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
  // "literal" + std::string.
  std::string device("\"");
  device += portDevicePath(sPort);
  device += '"';
  switch (portOpenProblem(error)) {
    case TPortOpenProblem::OwnTerminal:
      return device + " is the terminal this program runs in, not a logger's port: pick the logger's port " +
             (bWindow ? "in the list." : "(see --list-ports).");
    case TPortOpenProblem::Unknown:
      return "Serial port " + device + " could not be opened; it may have been busy or unplugged for a moment. Try again.";
    case TPortOpenProblem::Missing:
      return "Serial port " + device + " does not exist: check the cable, and " +
             (bWindow ? "pick the logger's port in the list." : "see --list-ports for the ports present.");
    case TPortOpenProblem::NoPermission:
      // Group membership is read at login: the new group only counts in a
      // session started after the change.
      return "Permission denied on serial port " + device + ": add your user to the dialout group with \"sudo usermod -aG dialout " +
             userName + "\", then log out and log in again (the new group counts only from the next login).";
    case TPortOpenProblem::Busy:
      return "Serial port " + device + " is busy: another program holds it. Close that program and try again.";
    case TPortOpenProblem::NotASerialPort:
      return device + " is not a serial port the logger can use (" + systemReason(error) + ").";
    case TPortOpenProblem::Other:
      break;
  }
  return "Serial port " + device + " cannot be opened (" + systemReason(error) + ").";
}

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error, const std::string& userName) {
  return portOpenAdvice(sPort, error, TPortChooser::CommandLine, userName);
}

}  // namespace kelvry
