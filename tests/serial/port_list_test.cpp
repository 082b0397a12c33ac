// The port list on a fake sysfs and /dev, laid out like the kernel's: class
// entries are links into the device tree, and each tty's "device" link
// points at its parent device.

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "serial/port_list.h"

namespace kelvry {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsbSerialAdapter = "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0";
constexpr const char* kUsbModem = "pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0";
constexpr const char* kUsbOnPlatformBus = "platform/soc/3f980000.usb/usb2/2-1/2-1:1.0";
constexpr const char* kBuiltInUart = "platform/serial8250";
constexpr const char* kUsbLookalikeUart = "platform/fe201000.usb-uart";

class PortList : public ::testing::Test {
protected:
  void SetUp() override {
    // Kept below a folder named like a USB bus: only the path inside the
    // fake sysfs may decide whether a port is a USB port.
    base = fs::temp_directory_path() / ("kelvry-ports-" + std::to_string(getpid())) / "usb3";
    fs::create_directories(base / "sys/class/tty");
    fs::create_directories(base / "dev");
    roots = {(base / "sys/class/tty").string(), (base / "dev").string()};
  }
  void TearDown() override { fs::remove_all(base.parent_path()); }

  // A tty below the given device, or a virtual one when parentDevice is empty.
  void addTty(const std::string& name, const std::string& parentDevice, bool nodePresent = true) {
    const fs::path deviceDir = parentDevice.empty() ? fs::path("virtual") : fs::path(parentDevice);
    const fs::path ttyDir = base / "sys/devices" / deviceDir / "tty" / name;
    fs::create_directories(ttyDir);
    if (!parentDevice.empty()) fs::create_directory_symlink("../..", ttyDir / "device");
    fs::create_directory_symlink(fs::path("../../devices") / deviceDir / "tty" / name,
                                 base / "sys/class/tty" / name);
    if (nodePresent) std::ofstream(base / "dev" / name).put('\n');
  }
  std::string devicePath(const std::string& name) const { return roots.dev + "/" + name; }

  fs::path base;
  TPortListRoots roots;
};

TEST_F(PortList, ListsOnlyTtysOnAUsbBusThatHaveADeviceNode) {
  addTty("ttyUSB0", kUsbSerialAdapter);
  addTty("ttyACM0", kUsbModem);
  addTty("ttyACM1", kUsbOnPlatformBus);
  addTty("ttyS0", kBuiltInUart);
  addTty("ttyAMA0", kUsbLookalikeUart);
  addTty("tty1", "");
  addTty("ttyACM7", kUsbModem, false);  // unplugged while sysfs still shows it

  std::vector<std::string> list;
  listSerialPorts(list, roots);
  EXPECT_EQ(list, (std::vector<std::string>{devicePath("ttyACM0"), devicePath("ttyACM1"), devicePath("ttyUSB0")}));
}

TEST_F(PortList, SortsByNameThenByNumberValue) {
  for (const char* name : {"ttyUSB10", "ttyACM10", "ttyUSB2", "ttyACM2", "ttyACM1", "ttyUSB0"}) {
    addTty(name, kUsbModem);
  }
  std::vector<std::string> list;
  listSerialPorts(list, roots);
  EXPECT_EQ(list, (std::vector<std::string>{devicePath("ttyACM1"), devicePath("ttyACM2"), devicePath("ttyACM10"),
                                            devicePath("ttyUSB0"), devicePath("ttyUSB2"), devicePath("ttyUSB10")}));
}

TEST_F(PortList, ReplacesTheListInsteadOfAppending) {
  addTty("ttyUSB0", kUsbSerialAdapter);
  std::vector<std::string> list{"/dev/ttyUSB9", "stale"};
  listSerialPorts(list, roots);
  listSerialPorts(list, roots);
  EXPECT_EQ(list, std::vector<std::string>{devicePath("ttyUSB0")});
}

TEST_F(PortList, IsEmptyWithoutUsbPortsOrWithoutSysfs) {
  std::vector<std::string> list{"stale"};
  listSerialPorts(list, roots);
  EXPECT_TRUE(list.empty());

  addTty("ttyS0", kBuiltInUart);
  list = {"stale"};
  listSerialPorts(list, {(base / "no-sys/class/tty").string(), roots.dev});
  EXPECT_TRUE(list.empty());
}

TEST_F(PortList, ArrivalAndRemovalChangeTheList) {
  std::vector<std::string> before;
  listSerialPorts(before, roots);
  addTty("ttyACM0", kUsbModem);
  std::vector<std::string> after;
  listSerialPorts(after, roots);
  EXPECT_TRUE(isPortDeviceChange(before, after));

  fs::remove(base / "dev/ttyACM0");
  before = after;
  listSerialPorts(after, roots);
  EXPECT_TRUE(isPortDeviceChange(before, after));
  EXPECT_TRUE(after.empty());
}

TEST(IsPortDeviceChange, TrueExactlyWhenTheListsDiffer) {
  using List = std::vector<std::string>;
  const struct {
    List before, after;
    bool changed;
  } cases[] = {
      {{}, {}, false},
      {{"/dev/ttyUSB0"}, {"/dev/ttyUSB0"}, false},
      {{}, {"/dev/ttyUSB0"}, true},
      {{"/dev/ttyUSB0"}, {}, true},
      {{"/dev/ttyUSB0"}, {"/dev/ttyUSB1"}, true},  // one left and another came between two looks
      {{"/dev/ttyACM0", "/dev/ttyUSB0"}, {"/dev/ttyACM0"}, true},
  };
  for (const auto& c : cases) EXPECT_EQ(isPortDeviceChange(c.before, c.after), c.changed);
}

TEST(PortListOnThisMachine, LeavesOutBuiltInSerialPorts) {
  std::vector<std::string> list;
  listSerialPorts(list);
  for (const std::string& port : list) {
    EXPECT_FALSE(port.starts_with("/dev/ttyS")) << port;
    EXPECT_TRUE(fs::exists(port)) << port;
  }
}

}  // namespace
}  // namespace kelvry
