#pragma once

#include <cstdint>

// Windows tells every top-level window of a serial port's arrival and
// removal with a device-change message (WM_DEVICECHANGE). This decides which
// of those messages mean that the port list may have changed. It reads the
// message's data as the system lays it out and needs no Windows header, so
// it is the same on every platform.

namespace kelvry {

inline constexpr uint32_t kDeviceArrival = 0x8000;         // DBT_DEVICEARRIVAL
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
inline constexpr uint32_t kDeviceTypePort = 3;             // DBT_DEVTYP_PORT

// True when `eventCode` (the message's wParam) is an arrival or a completed
// removal and `eventData` (its lParam: a broadcast header whose second 32-bit
// field is the device type) is about a port. The data is not looked at for
// other events, where it may be anything.
bool isPortDeviceChange(uint32_t eventCode, const void* eventData);

}  // namespace kelvry
