#include "serial/serialcomm_ports.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

namespace kelvry {

namespace {

constexpr std::array<std::string_view, 2> kUsbDevicePrefixes = {"\\device\\vcp", "\\device\\usbser"};

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool isUsbVirtualComDevice(const std::string& deviceName) {
  const std::string lower = lowerCase(deviceName);
  return std::any_of(kUsbDevicePrefixes.begin(), kUsbDevicePrefixes.end(),
                     [&](std::string_view prefix) { return lower.starts_with(prefix); });
}

}  // namespace

std::vector<std::string> usbVirtualComPorts(const std::vector<TSerialCommValue>& values) {
  std::vector<std::string> ports;
  for (const TSerialCommValue& value : values) {
    if (isUsbVirtualComDevice(value.deviceName)) ports.push_back(value.portName);
  }
  return ports;
}

}  // namespace kelvry
