#include "frontend/port_open_problem.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "serial/terminal_guard_posix.h"

namespace kelvry {

TPortOpenProblem portOpenProblem(const TPortOpenError& error) {
  if (error.operation == kOwnTerminalStep) return TPortOpenProblem::OwnTerminal;
  switch (error.errorNumber) {
    case 0: return TPortOpenProblem::Unknown;
    case ENOENT: case ENODEV: case ENXIO: return TPortOpenProblem::Missing;
    case EACCES: case EPERM: return TPortOpenProblem::NoPermission;
    case EBUSY: case EWOULDBLOCK: return TPortOpenProblem::Busy;
    case ENOTTY: case EINVAL: return TPortOpenProblem::NotASerialPort;
    default: return TPortOpenProblem::Other;
  }
}

std::string currentUserName() {
  if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_name) return entry->pw_name;
  if (const char* user = std::getenv("USER"); user && *user) return user;
  return "$USER";
}

}  // namespace kelvry
