// The spellings of one COM port that Windows users write.

#include <gtest/gtest.h>

#include "serial/com_port_name.h"

namespace kelvry {
namespace {

TEST(ComPortName, EverySpellingOfAPortIsOneName) {
  const struct {
    const char* given;
    const char* canonical;
  } cases[] = {
      {"COM7", "COM7"},       {"com7", "COM7"},        {"Com7", "COM7"},
      {"COM7:", "COM7"},      {"com7:", "COM7"},       {"\\\\.\\COM7", "COM7"},
      {"\\\\.\\com7", "COM7"}, {"\\\\?\\COM7", "COM7"}, {"COM10", "COM10"},
      {"com256", "COM256"},   {"\\\\.\\COM12:", "COM12"},
      // Not a COM port, or not one Windows names so: left as given.
      {"COM0", "COM0"},       {"COM07", "COM07"},      {"COM257", "COM257"},
      {"COM7x", "COM7x"},     {"COM", "COM"},          {"COM:", "COM:"},
      {"COM-1", "COM-1"},     {"LPT1", "LPT1"},        {"\\\\.\\CNCA0", "\\\\.\\CNCA0"},
      {"/dev/ttyUSB0", "/dev/ttyUSB0"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(canonicalComPortName(c.given), c.canonical) << c.given;
}

TEST(ComPortName, NumberOfACanonicalName) {
  EXPECT_EQ(comPortNumber("COM7"), 7u);
  EXPECT_EQ(comPortNumber("COM10"), 10u);
  for (const char* other : {"com7", "COM0", "COM07", "LPT1", "COM", "\\\\.\\COM7", ""})
    EXPECT_EQ(comPortNumber(other), 0u) << other;
}

TEST(ComPortName, FriendlyNameWithoutItsPort) {
  const struct {
    const char* friendlyName;
    const char* product;
  } cases[] = {
      {"USB Serial Port (COM7)", "USB Serial Port"},
      {"Silicon Labs CP210x USB to UART Bridge (COM12)", "Silicon Labs CP210x USB to UART Bridge"},
      {"USB-SERIAL CH340 (COM3)", "USB-SERIAL CH340"},
      {"USB Serial Device", "USB Serial Device"},
      {"Adapter (rev. B)", "Adapter (rev. B)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(withoutPortSuffix(c.friendlyName), c.product) << c.friendlyName;
}

}  // namespace
}  // namespace kelvry
