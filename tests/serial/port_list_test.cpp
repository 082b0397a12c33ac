// The port list on a fake sysfs and /dev, laid out like the kernel's: class
// entries are links into the device tree, and each tty's "device" link
// points at its parent device.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/port_list.h"
#include "tests/serial/fake_sysfs.h"

namespace kelvry {
namespace {

namespace fs = std::filesystem;
using namespace test;

using PortList = FakeSysfs;

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
