#include "serial/usb_device_ids.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace kelvry {

namespace {

std::string lowerCase(std::string text) {
  std::ranges::transform(text, text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// The three backslash-separated parts of an instance id; fewer for a text
// that is none.
std::vector<std::string_view> idParts(std::string_view id) {
  std::vector<std::string_view> parts;
  for (size_t start = 0;;) {
    const size_t end = id.find('\\', start);
    parts.push_back(id.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

bool isEnumerator(std::string_view part, std::string_view name) {
  return part.size() == name.size() && std::equal(part.begin(), part.end(), name.begin(), [](char a, char b) {
           return std::toupper(static_cast<unsigned char>(a)) == b;
         });
}

// Windows makes an instance part up from the port's place on the bus
// ("5&2A5B3E7D&0&2") when the device reports no serial number; such a part
// always holds '&', a serial number never does.
bool isMadeUpInstance(std::string_view part) { return part.empty() || part.find('&') != std::string_view::npos; }

// "A600ATC3A" holds serial number A600ATC3 and channel A.
std::string withoutFtdiChannel(std::string_view serialAndChannel) {
  if (serialAndChannel.size() < 2) return {};
  const char channel = serialAndChannel.back();
  if (channel < 'A' || channel > 'D') return std::string(serialAndChannel);
  return std::string(serialAndChannel.substr(0, serialAndChannel.size() - 1));
}

// FTDIBUS\VID_0403+PID_6001+A600ATC3A\0000: the third '+' field.
std::string ftdiSerialNumber(std::string_view devicePart) {
  size_t plus = devicePart.find('+');
  if (plus != std::string_view::npos) plus = devicePart.find('+', plus + 1);
  if (plus == std::string_view::npos) return {};
  const std::string_view field = devicePart.substr(plus + 1);
  return isMadeUpInstance(field) ? std::string() : withoutFtdiChannel(field);
}

bool isCompositeInterface(std::string_view devicePart) {
  const std::string lower = lowerCase(std::string(devicePart));
  return lower.find("&mi_") != std::string::npos;
}

}  // namespace

TUsbDeviceIds usbIdsInText(std::string_view id) {
  static const std::regex kVendorAndProduct("VID_([0-9A-F]{4})[&+]PID_([0-9A-F]{4})", std::regex::icase);
  std::match_results<std::string_view::const_iterator> match;
  if (!std::regex_search(id.begin(), id.end(), match, kVendorAndProduct)) return {};
  return {lowerCase(match[1].str()), lowerCase(match[2].str()), {}};
}

TUsbDeviceIds usbIdsOfDeviceChain(const std::vector<std::string>& instanceIds) {
  TUsbDeviceIds ids;
  for (size_t level = 0; level < instanceIds.size(); ++level) {
    const std::vector<std::string_view> parts = idParts(instanceIds[level]);
    if (parts.size() != 3) break;
    const bool ftdiBus = isEnumerator(parts[0], "FTDIBUS");
    if (!ftdiBus && !isEnumerator(parts[0], "USB")) {
      // A driver may put the port on a bus of its own, below the USB
      // device: then its parent is looked at, and nothing further up.
      if (level == 0) continue;
      break;
    }
    if (ids.vendorId.empty()) {
      const TUsbDeviceIds found = usbIdsInText(parts[1]);
      ids.vendorId = found.vendorId;
      ids.productId = found.productId;
    }
    if (ftdiBus) {
      ids.serialNumber = ftdiSerialNumber(parts[1]);
      if (!ids.serialNumber.empty()) break;
      continue;  // the USB device above may still know it
    }
    if (isCompositeInterface(parts[1])) continue;
    ids.serialNumber = isMadeUpInstance(parts[2]) ? std::string() : std::string(parts[2]);
    break;
  }
  return ids;
}

}  // namespace kelvry
