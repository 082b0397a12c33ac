#include "driver/utc_stamp.h"

#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry {

namespace {

struct TUtcParts {
  int year;
  unsigned month, day;
  long long hours, minutes, seconds, millis;
};

TUtcParts utcParts(std::chrono::system_clock::time_point when) {
  using namespace std::chrono;
  const auto day = floor<days>(when);
  const year_month_day date{day};
  const hh_mm_ss time{floor<milliseconds>(when - day)};
  return {static_cast<int>(date.year()), static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
          static_cast<long long>(time.hours().count()), static_cast<long long>(time.minutes().count()),
          static_cast<long long>(time.seconds().count()), static_cast<long long>(time.subseconds().count())};
}

}  // namespace

std::string isoUtcStamp(std::chrono::system_clock::time_point when) {
  const TUtcParts t = utcParts(when);
  return format("%04d-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ", t.year, t.month, t.day, t.hours, t.minutes, t.seconds,
                t.millis);
}

std::string compactUtcStamp(std::chrono::system_clock::time_point when) {
  const TUtcParts t = utcParts(when);
  return format("%04d%02u%02uT%02lld%02lld%02lldZ", t.year, t.month, t.day, t.hours, t.minutes, t.seconds);
}

}  // namespace kelvry
