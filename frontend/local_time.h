#pragma once

#include <ctime>

namespace kelvry {

// The local time of `moment`, safe to call from several threads at once (the
// C library's localtime() shares one result between all callers).
std::tm localTime(std::time_t moment);

}  // namespace kelvry
