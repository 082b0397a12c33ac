#include "driver/port_filter.h"

#include <algorithm>
#include <cctype>

namespace kelvry {

namespace {

bool isUsbId(const std::string& text) {
  return text.size() == 4 && std::ranges::all_of(text, [](unsigned char c) { return std::isxdigit(c) != 0; });
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool matches(const TUsbPortIdentity& identity, const TPortFilter& filter) {
  // sysfs gives lower-case hex, the Windows device tree upper case.
  return lowerCase(identity.vendorId) == filter.vendorId && lowerCase(identity.productId) == filter.productId &&
         (filter.serialNumber.empty() || identity.serialNumber == filter.serialNumber);
}

}  // namespace

std::optional<TPortFilter> parsePortFilter(const std::string& text) {
  const size_t first = text.find(':');
  if (first == std::string::npos) return std::nullopt;
  const size_t second = text.find(':', first + 1);
  TPortFilter filter;
  filter.vendorId = lowerCase(text.substr(0, first));
  const size_t productLength = second == std::string::npos ? std::string::npos : second - first - 1;
  filter.productId = lowerCase(text.substr(first + 1, productLength));
  if (second != std::string::npos) {
    filter.serialNumber = text.substr(second + 1);
    if (filter.serialNumber.empty()) return std::nullopt;
  }
  if (!isUsbId(filter.vendorId) || !isUsbId(filter.productId)) return std::nullopt;
  return filter;
}

bool portPassesFilters(const TUsbPortIdentity& identity, const std::vector<TPortFilter>& filters) {
  return filters.empty() || std::ranges::any_of(filters, [&](const TPortFilter& f) { return matches(identity, f); });
}

}  // namespace kelvry
