#include "frontend/local_time.h"

namespace kelvry {

// The Windows C runtime's thread-safe form takes its arguments the other
// way round.
std::tm localTime(std::time_t moment) {
  std::tm local{};
  localtime_s(&local, &moment);
  return local;
}

}  // namespace kelvry
