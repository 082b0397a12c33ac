#include "frontend/typed_port_name.h"

namespace kelvry {

std::string typedPortName(const std::string& sTyped) {
  constexpr const char* kAround = " \t\r\n\v\f";
  const size_t first = sTyped.find_first_not_of(kAround);
  if (first == std::string::npos) return {};
  return sTyped.substr(first, sTyped.find_last_not_of(kAround) - first + 1);
}

}  // namespace kelvry
