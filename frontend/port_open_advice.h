#pragma once

#include <string>

#include "frontend/port_open_problem.h"
#include "serial/transport.h"

// Why a serial port could not be opened, in words that say what to do. The
// job itself only reports "not ready"; both front ends add this line.

namespace kelvry {

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error,
                           const std::string& userName = currentUserName());

}  // namespace kelvry
