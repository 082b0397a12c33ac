#include "records/utc_text.h"

#include <cstdio>
#include <regex>

namespace kelvry {

std::string utcText(TUtcTime when) {
  using namespace std::chrono;
  const auto milliseconds = floor<std::chrono::milliseconds>(when);
  const auto day = floor<days>(milliseconds);
  const year_month_day date(day);
  const hh_mm_ss time(milliseconds - day);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
  return text;
}

namespace {

// The stored form, "2026-12-10T14:05:09.123Z", read by position: a history
// reads two per record, and a regular expression would cost more than the
// query.
std::optional<TUtcTime> storedForm(std::string_view text) {
  using namespace std::chrono;
  static constexpr std::string_view kShape = "dddd-dd-ddTdd:dd:dd.dddZ";
  if (text.size() != kShape.size()) return std::nullopt;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&](size_t from, size_t count) {
    int value = 0;
    for (size_t i = from; i < from + count; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const year_month_day date{year(number(0, 4)), month(static_cast<unsigned>(number(5, 2))),
                            day(static_cast<unsigned>(number(8, 2)))};
  if (!date.ok()) return std::nullopt;
  return sys_days(date) + hours(number(11, 2)) + minutes(number(14, 2)) + seconds(number(17, 2)) +
         milliseconds(number(20, 3));
}

}  // namespace

std::optional<TUtcTime> parseUtcText(std::string_view text) {
  using namespace std::chrono;
  if (const auto stored = storedForm(text)) return stored;
  static const std::regex form(R"((\d{4})-(\d{2})-(\d{2})(?:[T ](\d{2}):(\d{2})(?::(\d{2})(?:\.(\d{1,9}))?)?)?Z?)");
  std::cmatch match;
  if (!std::regex_match(text.data(), text.data() + text.size(), match, form)) return std::nullopt;
  const auto number = [&](int group) { return match[group].matched ? std::stoi(match[group].str()) : 0; };
  const year_month_day date{year(number(1)), month(static_cast<unsigned>(number(2))),
                            day(static_cast<unsigned>(number(3)))};
  if (!date.ok() || number(4) > 23 || number(5) > 59 || number(6) > 60) return std::nullopt;
  std::string fraction = match[7].matched ? match[7].str() : "0";
  fraction.resize(3, '0');
  return sys_days(date) + hours(number(4)) + minutes(number(5)) + seconds(number(6)) +
         milliseconds(std::stoi(fraction));
}

}  // namespace kelvry
