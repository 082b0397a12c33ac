#include "frontend/repeat_rules.h"

#include "frontend/text_format.h"

namespace kelvry {

bool mayRepeat(int repeats, std::optional<int> bound) { return !bound || repeats < *bound; }

std::string repeatCountText(int repeats, int bound) { return format("Repeat %d of %d", repeats, bound); }

std::string stoppedRepeatingText(int repeats) {
  return format("Stopped after %d repeats in a row: the logger or its cable needs attention.", repeats);
}

std::string gaveUpText(int repeats, const std::string& reason) {
  return format("Gave up after %d repeat%s: %s!", repeats, repeats == 1 ? "" : "s", reason.c_str());
}

}  // namespace kelvry
