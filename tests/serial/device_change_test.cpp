// Which device-change messages mean that a port arrived or went.

#include <cstdint>

#include <gtest/gtest.h>

#include "serial/device_change.h"

namespace kelvry {
namespace {

// The broadcast header as the system lays it out: size, device type,
// reserved.
struct TBroadcastHeader {
  uint32_t size = sizeof(TBroadcastHeader);
  uint32_t deviceType = 0;
  uint32_t reserved = 0;
};

constexpr uint32_t kDeviceQueryRemove = 0x8001;
constexpr uint32_t kDeviceRemovePending = 0x8003;
constexpr uint32_t kDeviceTypeVolume = 2;
constexpr uint32_t kDeviceTypeInterface = 5;

TEST(DeviceChange, CountsArrivalsAndCompletedRemovalsOfPortsOnly) {
  struct TCase {
    uint32_t event;
    uint32_t deviceType;
    bool counts;
  };
  const TCase cases[] = {
      {kDeviceArrival, kDeviceTypePort, true},
      {kDeviceRemoveComplete, kDeviceTypePort, true},
      {kDeviceArrival, kDeviceTypeVolume, false},
      {kDeviceRemoveComplete, kDeviceTypeInterface, false},
      {kDeviceQueryRemove, kDeviceTypePort, false},
      {kDeviceRemovePending, kDeviceTypePort, false},
  };
  for (const TCase& c : cases) {
    const TBroadcastHeader header{.deviceType = c.deviceType};
    EXPECT_EQ(isPortDeviceChange(c.event, &header), c.counts) << std::hex << c.event << " type " << c.deviceType;
  }
}

TEST(DeviceChange, OtherEventsAreNotReadAtAll) {
  // DBT_DEVNODES_CHANGED and the like carry no header: a null pointer must
  // not be touched.
  EXPECT_FALSE(isPortDeviceChange(0x0007, nullptr));
  EXPECT_FALSE(isPortDeviceChange(kDeviceArrival, nullptr));
}

}  // namespace
}  // namespace kelvry
