#include "frontend/local_time.h"

namespace kelvry {

std::tm localTime(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return local;
}

}  // namespace kelvry
