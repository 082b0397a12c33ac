#include "driver/duration_text.h"

#include "frontend/text_format.h"

namespace kelvry {

std::string durationText(std::chrono::steady_clock::duration duration) {
  const auto seconds = std::chrono::round<std::chrono::seconds>(duration).count();
  return format("%lld:%.2lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

}  // namespace kelvry
