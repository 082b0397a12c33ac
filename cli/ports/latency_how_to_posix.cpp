// Opening a port asks the driver for low-latency mode, which FTDI's driver
// turns into a 1 ms timer (serial/low_latency.h): the timer --list-ports
// shows is not the one an update runs with, and there is nothing to advise.

#include "cli/ports/latency_advice.h"

namespace kelvry::cli {

std::string_view latencyTimerHowTo() { return {}; }

}  // namespace kelvry::cli
