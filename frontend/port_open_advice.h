#pragma once

#include <string>

#include "serial/serial_port.h"

// Why a serial port could not be opened, in words that say what to do. The
// job itself only reports "not ready"; both front ends add this line.

namespace kelvry {

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error);


}  // namespace kelvry
