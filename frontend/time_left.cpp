#include "frontend/time_left.h"

#include <algorithm>

#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry {

namespace {
constexpr int kLastPercent = 99;  // the job's last progress before its final check
}

void TTimeLeft::update(int percent, time_point now) {
  // The first percentage after the erase marks where the measured part of
  // the programming begins.
  if (percent < percent_ || firstPercent_ < 0) {
    firstPercent_ = percent;
    firstAt_ = now;
  }
  percent_ = percent;
  at_ = now;
}

std::optional<std::chrono::seconds> TTimeLeft::left() const {
  const int done = percent_ - firstPercent_;
  if (firstPercent_ < 0 || done <= 0 || percent_ >= kLastPercent) return std::nullopt;
  const auto perPercent = (at_ - firstAt_) / done;
  const auto remaining = perPercent * std::max(0, kLastPercent - percent_);
  return std::chrono::round<std::chrono::seconds>(remaining);
}

std::string timeLeftText(std::optional<std::chrono::seconds> left) {
  if (!left) return {};
  const auto seconds = left->count();
  return format("%lld:%.2lld left", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

}  // namespace kelvry
