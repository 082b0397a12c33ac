#include "waits/clock.h"

namespace kelvry {

IClock& steadyClock() {
  static TSteadyClock clock;
  return clock;
}

}  // namespace kelvry
