// A port's USB identity from the device ids Windows gives, for the shapes
// real adapters take.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/usb_device_ids.h"

namespace kelvry {
namespace {

struct TChainCase {
  const char* what;
  std::vector<std::string> instanceIds;  // the port's device first, then its ancestors
  TUsbDeviceIds expected;
};

TEST(UsbDeviceIds, FromThePortsDeviceAndItsAncestors) {
  const std::string hub = "USB\\VID_05E3&PID_0610\\5&1F2E3D4C&0&4";  // has ids of its own
  const std::string rootHub = "USB\\ROOT_HUB30\\4&2B7A1D1E&0&0";
  const TChainCase cases[] = {
      {"FTDI single channel: the driver adds channel A to the serial number",
       {"FTDIBUS\\VID_0403+PID_6001+A600ATC3A\\0000", "USB\\VID_0403&PID_6001\\A600ATC3", rootHub},
       {"0403", "6001", "A600ATC3"}},
      {"FTDI dual channel, first port",
       {"FTDIBUS\\VID_0403+PID_6010+FT4ZS6I3A\\0000", "USB\\VID_0403&PID_6010&MI_00\\7&1A2B3C4D&0&0000",
        "USB\\VID_0403&PID_6010\\FT4ZS6I3"},
       {"0403", "6010", "FT4ZS6I3"}},
      {"FTDI dual channel, second port",
       {"FTDIBUS\\VID_0403+PID_6010+FT4ZS6I3B\\0000", "USB\\VID_0403&PID_6010&MI_01\\7&1A2B3C4D&0&0001"},
       {"0403", "6010", "FT4ZS6I3"}},
      {"FTDI quad channel, fourth port", {"FTDIBUS\\VID_0403+PID_6011+FT9XYZ12D\\0000"}, {"0403", "6011", "FT9XYZ12"}},
      {"FTDI without a serial number in its EEPROM: the USB device above has none either",
       {"FTDIBUS\\VID_0403+PID_6001+6&3B2C1D0E&0&2\\0000", "USB\\VID_0403&PID_6001\\5&2A5B3E7D&0&2", hub},
       {"0403", "6001", ""}},
      {"FTDI with Windows' own driver", {"USB\\VID_0403&PID_6015\\DN05JQ2K", rootHub}, {"0403", "6015", "DN05JQ2K"}},
      {"CDC-ACM (Arduino)", {"USB\\VID_2341&PID_0043\\75330303035351E0E1A0", rootHub},
       {"2341", "0043", "75330303035351E0E1A0"}},
      {"CH340 has no serial number; the hub's ids are not the adapter's",
       {"USB\\VID_1A86&PID_7523\\5&2A5B3E7D&0&2", hub, rootHub}, {"1a86", "7523", ""}},
      {"CP210x", {"USB\\VID_10C4&PID_EA60\\0001", rootHub}, {"10c4", "ea60", "0001"}},
      {"CP2105, one interface of two", {"USB\\VID_10C4&PID_EA70&MI_01\\6&2C4D1E0F&0&0001",
                                        "USB\\VID_10C4&PID_EA70\\00F1A2B3", rootHub},
       {"10c4", "ea70", "00F1A2B3"}},
      {"composite CDC-ACM (STM32): the serial number is on the parent",
       {"USB\\VID_0483&PID_5740&MI_00\\6&1C2D3E4F&0&0000", "USB\\VID_0483&PID_5740\\205F32A14E4D", rootHub},
       {"0483", "5740", "205F32A14E4D"}},
      {"composite device without a serial number",
       {"USB\\VID_2E8A&PID_000A&MI_00\\6&1C2D3E4F&0&0000", "USB\\VID_2E8A&PID_000A\\5&3A2B1C0D&0&1", hub},
       {"2e8a", "000a", ""}},
      {"a driver's own bus below the USB device",
       {"MXUPORT\\COM1\\0001", "USB\\VID_110A&PID_1150\\TAB5C2137", rootHub}, {"110a", "1150", "TAB5C2137"}},
      {"lower-case ids", {"usb\\vid_067b&pid_2303\\6&36a8b2f&0&3"}, {"067b", "2303", ""}},
      {"a built-in port", {"ACPI\\PNP0501\\0", "ACPI\\PNP0A08\\0"}, {"", "", ""}},
      {"a Bluetooth link", {"BTHENUM\\{00001101-0000-1000-8000-00805F9B34FB}_LOCALMFG&0002\\7&2B3C&0&0_C00000000",
                           "BTH\\MS_BTHBRB\\6&1A2B&0&1"},
       {"", "", ""}},
      {"no device id at all", {""}, {"", "", ""}},
      {"nothing", {}, {"", "", ""}},
  };
  for (const TChainCase& c : cases) {
    const TUsbDeviceIds ids = usbIdsOfDeviceChain(c.instanceIds);
    EXPECT_EQ(ids.vendorId, c.expected.vendorId) << c.what;
    EXPECT_EQ(ids.productId, c.expected.productId) << c.what;
    EXPECT_EQ(ids.serialNumber, c.expected.serialNumber) << c.what;
  }
}

TEST(UsbDeviceIds, VendorAndProductInAHardwareId) {
  const struct {
    const char* hardwareId;
    const char* vendorId;
    const char* productId;
  } cases[] = {
      {"USB\\VID_0403&PID_6001&REV_0600", "0403", "6001"},
      {"FTDIBUS\\COMPORT&VID_0403&PID_6001", "0403", "6001"},
      {"USB\\VID_10C4&PID_EA60&REV_0100&MI_00", "10c4", "ea60"},
      {"ACPI\\PNP0501", "", ""},
      {"USB\\VID_12&PID_34", "", ""},
  };
  for (const auto& c : cases) {
    const TUsbDeviceIds ids = usbIdsInText(c.hardwareId);
    EXPECT_EQ(ids.vendorId, c.vendorId) << c.hardwareId;
    EXPECT_EQ(ids.productId, c.productId) << c.hardwareId;
    EXPECT_EQ(ids.serialNumber, "") << c.hardwareId;
  }
}

}  // namespace
}  // namespace kelvry
