#include "frontend/port_open_problem.h"

#include <windows.h>

#include <cstdlib>

namespace kelvry {

// Windows opens a COM port for one program at a time and answers a second
// opener with "access denied": that is a busy port, not a missing right.
TPortOpenProblem portOpenProblem(const TPortOpenError& error) {
  switch (error.errorNumber) {
    case 0: return TPortOpenProblem::Unknown;
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_BAD_UNIT: case ERROR_DEV_NOT_EXIST:
      return TPortOpenProblem::Missing;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_BUSY: return TPortOpenProblem::Busy;
    case ERROR_INVALID_FUNCTION: case ERROR_INVALID_PARAMETER: case ERROR_NOT_SUPPORTED:
      return TPortOpenProblem::NotASerialPort;
    default: return TPortOpenProblem::Other;
  }
}

std::string currentUserName() {
  if (const char* user = std::getenv("USERNAME"); user && *user) return user;
  return "%USERNAME%";
}

}  // namespace kelvry
