// FTDI's Windows driver keeps the timer in the port's registry parameters,
// which only Device Manager (or an administrator) should change; the program
// leaves it alone.

#include "cli/ports/latency_advice.h"

namespace kelvry::cli {

std::string_view latencyTimerHowTo() {
  return "set it to 1 ms in Device Manager > Ports (COM & LPT) > the port > Properties > Port Settings > "
         "Advanced > Latency Timer (msec) (this program does not change it).";
}

}  // namespace kelvry::cli
