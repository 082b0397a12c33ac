#include "frontend/run_options.h"

#include <algorithm>
#include <cctype>

namespace kelvry {

namespace {

constexpr size_t kMaxOptionValue = 1000;

// The checks a developer may relax from the command line in internal mode.
struct TCheckOption {
  const char* name;
  bool TRunOptions::*flag;
};

const TCheckOption kCheckOptions[] = {
    {"cc:", &TRunOptions::bCheckClass},
    {"cf:", &TRunOptions::bCheckFirmware},
    {"ci:", &TRunOptions::bCheckInfo},
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

TRunOptions runOptionsFrom(const TArguments& arguments, bool internal) {
  TRunOptions options;
  if (internal) {
    for (const TCheckOption& check : kCheckOptions) {
      if (GetCmdLineOption(arguments, check.name, "") == "-") options.*check.flag = false;
    }
  }
  // Read twice on purpose: only the first "mf:" argument counts, whichever
  // of the two values it carries.
  if (GetCmdLineOption(arguments, "mf:", "") == "+") options.bClearsMeasurements = true;
  if (GetCmdLineOption(arguments, "mf:", "") == "-") options.bClearsMeasurements = false;
  if (internal) {
    options.iInternalMode = GetCmdLineOption(arguments, "f:", "-") == "+" ? 2 : 1;
  }
  return options;
}

}  // namespace kelvry
