#pragma once

#include <memory>

#include "waits/cancel_token.h"
#include "serial/transport.h"

namespace kelvry {

// The serial port of the platform the program runs on: POSIX termios on
// Linux, the Win32 comm API on Windows. A job uses it when its environment
// gives no transport of its own.
std::unique_ptr<ISerialTransport> makePlatformTransport(const TCancelToken& cancel);

}  // namespace kelvry
