#pragma once

// A fake sysfs and /dev in a temporary folder, laid out like the kernel's:
// class entries are links into the device tree, each tty's "device" link
// points at its parent device, and USB devices carry their attributes as
// one-line files.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "serial/port_list.h"

namespace kelvry::test {

// Places in the device tree, below sys/devices.
inline constexpr const char* kUsbSerialAdapter = "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0";
inline constexpr const char* kUsbSerialAdapterDevice = "pci0000:00/0000:00:14.0/usb1/1-2";
inline constexpr const char* kUsbModem = "pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0";
inline constexpr const char* kUsbModemDevice = "pci0000:00/0000:00:14.0/usb1/1-3";
inline constexpr const char* kUsbOnPlatformBus = "platform/soc/3f980000.usb/usb2/2-1/2-1:1.0";
inline constexpr const char* kBuiltInUart = "platform/serial8250";
inline constexpr const char* kUsbLookalikeUart = "platform/fe201000.usb-uart";

// The attribute files of a USB device.
struct TUsbDeviceAttributes {
  std::string idVendor, idProduct, manufacturer, product, serial;
};

class FakeSysfs : public ::testing::Test {
protected:
  void SetUp() override {
    // Kept below a folder named like a USB bus: only the path inside the
    // fake sysfs may decide whether a port is a USB port.
    base = std::filesystem::temp_directory_path() /
           ("kelvry-ports-" + std::to_string(getpid()) + "-" + testName()) / "usb3";
    std::filesystem::create_directories(base / "sys/class/tty");
    std::filesystem::create_directories(base / "dev");
    roots = {(base / "sys/class/tty").string(), (base / "dev").string()};
  }
  void TearDown() override { std::filesystem::remove_all(base.parent_path()); }

  // A tty below the given device, or a virtual one when parentDevice is empty.
  void addTty(const std::string& name, const std::string& parentDevice, bool nodePresent = true) {
    namespace fs = std::filesystem;
    const fs::path deviceDir = parentDevice.empty() ? fs::path("virtual") : fs::path(parentDevice);
    const fs::path ttyDir = base / "sys/devices" / deviceDir / "tty" / name;
    fs::create_directories(ttyDir);
    if (!parentDevice.empty()) fs::create_directory_symlink("../..", ttyDir / "device");
    fs::create_directory_symlink(fs::path("../../devices") / deviceDir / "tty" / name, base / "sys/class/tty" / name);
    if (nodePresent) std::ofstream(base / "dev" / name).put('\n');
  }

  // One attribute file of a device, with the kernel's trailing newline.
  void setAttribute(const std::string& device, const std::string& name, const std::string& value) {
    const std::filesystem::path dir = base / "sys/devices" / device;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / name) << value << '\n';
  }

  // Only the attributes given (not empty) are written, as a device without a
  // serial number has no "serial" file.
  void setUsbDevice(const std::string& device, const TUsbDeviceAttributes& attributes) {
    for (const auto& [name, value] : {std::pair{"idVendor", attributes.idVendor},
                                      {"idProduct", attributes.idProduct},
                                      {"manufacturer", attributes.manufacturer},
                                      {"product", attributes.product},
                                      {"serial", attributes.serial}}) {
      if (!value.empty()) setAttribute(device, name, value);
    }
  }

  std::string devicePath(const std::string& name) const { return roots.dev + "/" + name; }

  std::filesystem::path base;
  TPortListRoots roots;

private:
  // Tests of one program may run side by side under ctest.
  static std::string testName() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info ? std::string(info->test_suite_name()) + "." + info->name() : "";
  }
};

}  // namespace kelvry::test
