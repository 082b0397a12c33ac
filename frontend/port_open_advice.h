#pragma once

#include <string>

#include "serial/serial_port.h"

// Why a serial port could not be opened, in words that say what to do. The
// job itself only reports "not ready"; both front ends add this line.

namespace kelvry {

// The name of the user running the program, for the command that adds it to
// the dialout group.
std::string currentUserName();

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error,
                           const std::string& userName = currentUserName());

}  // namespace kelvry
