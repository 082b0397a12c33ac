#include "ui/bench/bench_arguments.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "driver/simulated_bench.h"
#include "serial/visible_text.h"

namespace kelvry {

namespace {

int number(const std::string& word, const std::string& text, int highest) {
  int n = 0;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (failure != std::errc() || end != text.data() + text.size() || n < 1 || n > highest)
    throw std::invalid_argument(word + " needs a number from 1 to " + std::to_string(highest) + ", not '" +
                                visibleText(text) + "'");
  return n;
}

}  // namespace

bool isBenchCommandLine(const std::vector<std::string>& arguments) {
  return std::ranges::find(arguments, "--bench") != arguments.end();
}

TBenchArguments parseBenchArguments(const std::vector<std::string>& arguments) {
  constexpr int kMostLoggers = 1000;
  TBenchArguments parsed;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size() || arguments[i + 1].starts_with("--"))
        throw std::invalid_argument(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--bench") continue;
    if (word == "--yes") parsed.yes = true;
    else if (word == "--simulate") parsed.simulate = number(word, value(), kMaxSimulated);
    else if (word == "--expect") parsed.expect = number(word, value(), kMostLoggers);
    else if (word == "--log-dir") parsed.logDir = value();
    else if (word == "--records") parsed.records = value();
    else throw std::invalid_argument("'" + visibleText(word) + "' is not an option of the bench window");
  }
  // Virtual loggers are unplugged once done and never come back.
  if (parsed.simulate && parsed.expect && *parsed.expect > parsed.simulate)
    throw std::invalid_argument("--expect " + std::to_string(*parsed.expect) + " is more than the " +
                                std::to_string(parsed.simulate) + " virtual loggers of --simulate");
  if (parsed.simulate && !parsed.expect) parsed.expect = parsed.simulate;
  return parsed;
}

}  // namespace kelvry
