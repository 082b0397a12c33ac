#include "serial/device_change.h"

#include <cstring>

namespace kelvry {

bool isPortDeviceChange(uint32_t eventCode, const void* eventData) {
  if (eventCode != kDeviceArrival && eventCode != kDeviceRemoveComplete) return false;
  if (eventData == nullptr) return false;
  // The header starts with its size, then the device type; copied out, as
  // the message's data need not be aligned for us.
  uint32_t deviceType = 0;
  std::memcpy(&deviceType, static_cast<const unsigned char*>(eventData) + sizeof(uint32_t), sizeof deviceType);
  return deviceType == kDeviceTypePort;
}

}  // namespace kelvry
