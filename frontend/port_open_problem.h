#pragma once

#include <string>

#include "serial/transport.h"

// What kept a port from opening, told apart by the platform's error codes
// (errno on Linux, GetLastError on Windows), so that the advice for it is
// worded once for both.

namespace kelvry {

enum class TPortOpenProblem {
  Unknown,         // no reason known: busy or unplugged for a moment
  OwnTerminal,     // the terminal this program runs in
  Missing,         // no such port
  NoPermission,    // the user may not open it
  Busy,            // another program holds it
  NotASerialPort,  // opened, but it is no serial line the logger can use
  Other,
};

TPortOpenProblem portOpenProblem(const TPortOpenError& error);

// The name of the user running the program, for the command that adds it to
// the dialout group.
std::string currentUserName();

}  // namespace kelvry
