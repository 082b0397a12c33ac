#pragma once

#include <string>

#include "serial/serial_port.h"

// Why a serial port could not be opened, in words that say what to do. The
// job itself only reports "not ready"; the command line adds this line.

namespace kelvry::cli {

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error);


}  // namespace kelvry::cli
