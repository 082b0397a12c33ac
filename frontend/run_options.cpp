#include "frontend/run_options.h"

#include <algorithm>
#include <cctype>

namespace kelvry {

std::atomic<bool> bCheckClass{true};
std::atomic<bool> bCheckFirmware{true};
std::atomic<bool> bCheckInfo{true};
std::atomic<int32_t> iInternalMode{0};
std::atomic<bool> bClearsMeasurements{false};
std::string sTestCaption;

namespace {

constexpr size_t kMaxOptionValue = 1000;

// The checks a developer may relax from the command line in internal mode.
struct TCheckOption {
  const char* name;
  std::atomic<bool>* flag;
};

const TCheckOption kCheckOptions[] = {
    {"cc:", &bCheckClass},
    {"cf:", &bCheckFirmware},
    {"ci:", &bCheckInfo},
};

// Option names are ASCII; a byte of a multi-byte character never matches one.
bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// The first `count` characters of UTF-8 text; a character is never cut in two.
std::string_view leadingCharacters(std::string_view text, size_t count) {
  size_t end = 0;
  for (size_t characters = 0; end < text.size() && characters < count; ++characters) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
  }
  return text.substr(0, end);
}

}  // namespace

std::string GetCmdLineOption(const TArguments& arguments, std::string_view name, std::string_view def) {
  for (size_t i = 1; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (argument.size() > name.size() && startsWithNoCase(argument, name)) {
      return std::string(leadingCharacters(argument.substr(name.size()), kMaxOptionValue));
    }
  }
  return std::string(def);
}

void applyRunOptions(const TArguments& arguments, bool internal) {
  if (internal) {
    for (const TCheckOption& check : kCheckOptions) {
      if (GetCmdLineOption(arguments, check.name, "") == "-") *check.flag = false;
    }
  }
  // Read twice on purpose: only the first "mf:" argument counts, whichever
  // of the two values it carries.
  if (GetCmdLineOption(arguments, "mf:", "") == "+") bClearsMeasurements = true;
  if (GetCmdLineOption(arguments, "mf:", "") == "-") bClearsMeasurements = false;
  if (internal) {
    iInternalMode = GetCmdLineOption(arguments, "f:", "-") == "+" ? 2 : 1;
  }
}

TJobChecks jobChecks() { return {bCheckClass, bCheckFirmware, bCheckInfo}; }

void resetRunOptions() {
  bCheckClass = true;
  bCheckFirmware = true;
  bCheckInfo = true;
  iInternalMode = 0;
  bClearsMeasurements = false;
  sTestCaption.clear();
}

}  // namespace kelvry
