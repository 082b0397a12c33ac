#include "serial/com_port_name.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>

namespace kelvry {

namespace {

// Windows numbers COM ports from 1 to 256.
constexpr unsigned kHighestComPort = 256;

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// The port number of "7" or "12"; 0 for text that is no port number (a
// leading zero included: "COM07" is not a name Windows gives).
unsigned portNumber(std::string_view digits) {
  if (digits.empty() || digits.front() == '0') return 0;
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (error != std::errc{} || end != digits.data() + digits.size() || number > kHighestComPort) return 0;
  return number;
}

unsigned comNumberOf(std::string_view name) {
  for (std::string_view prefix : {"\\\\.\\", "\\\\?\\"})
    if (name.starts_with(prefix)) {
      name.remove_prefix(prefix.size());
      break;
    }
  if (!startsWithNoCase(name, "COM")) return 0;
  name.remove_prefix(3);
  if (name.ends_with(':')) name.remove_suffix(1);
  return portNumber(name);
}

}  // namespace

std::string canonicalComPortName(const std::string& name) {
  const unsigned number = comNumberOf(name);
  return number == 0 ? name : "COM" + std::to_string(number);
}

std::string withoutPortSuffix(const std::string& friendlyName) {
  const size_t open = friendlyName.rfind(" (");
  if (open == std::string::npos || !friendlyName.ends_with(')')) return friendlyName;
  const std::string inside = friendlyName.substr(open + 2, friendlyName.size() - open - 3);
  return comNumberOf(inside) == 0 ? friendlyName : friendlyName.substr(0, open);
}

unsigned comPortNumber(const std::string& name) {
  return name.starts_with("COM") ? portNumber(std::string_view(name).substr(3)) : 0;
}

}  // namespace kelvry
