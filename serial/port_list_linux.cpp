// The USB serial ports present, found in sysfs: every tty has an entry in
// /sys/class/tty, and those backed by hardware have a "device" link to their
// place in the device tree. A tty whose device hangs below a USB bus is a USB
// virtual COM port (ttyUSB*, ttyACM* ...); built-in UARTs sit on platform or
// PNP buses and virtual terminals have no device at all.

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "serial/port_list.h"

namespace kelvry {

namespace {

namespace fs = std::filesystem;

// Each USB bus appears in the device tree as its root hub "usb<bus number>",
// the ancestor of every device on that bus.
bool isUsbBusComponent(const fs::path& component) {
  const std::string name = component.string();
  return name.size() > 3 && name.starts_with("usb") &&
         std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Only the path inside sysfs counts, so that a test tree kept under a folder
// that happens to be named usb1 does not make every port a USB port.
bool sitsOnUsbBus(const fs::path& sysRoot, const fs::path& deviceLink) {
  std::error_code error;
  const fs::path device = fs::canonical(deviceLink, error);
  if (error) return false;
  const fs::path inside = device.lexically_relative(sysRoot);
  if (inside.empty() || *inside.begin() == "..") return false;
  return std::any_of(inside.begin(), inside.end(), isUsbBusComponent);
}

// "ttyACM10" sorts after "ttyACM2": names compare by their text up to the
// trailing number, then by that number's value.
bool naturalLess(std::string_view a, std::string_view b) {
  const auto splitNumber = [](std::string_view name) {
    size_t digitsStart = name.find_last_not_of("0123456789") + 1;  // npos + 1 == 0
    std::string_view digits = name.substr(digitsStart);
    digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size()));
    return std::pair{name.substr(0, digitsStart), digits};
  };
  const auto [prefixA, numberA] = splitNumber(a);
  const auto [prefixB, numberB] = splitNumber(b);
  if (prefixA != prefixB) return prefixA < prefixB;
  if (numberA.size() != numberB.size()) return numberA.size() < numberB.size();
  if (numberA != numberB) return numberA < numberB;
  return a < b;  // "ttyS01" and "ttyS1": any fixed order will do
}

std::vector<std::string> usbTtyNames(const TPortListRoots& roots) {
  std::vector<std::string> names;
  std::error_code error;
  const fs::path classDir = fs::canonical(roots.sysClassTty, error);
  if (error) return names;
  const fs::path sysRoot = classDir.parent_path().parent_path();
  for (fs::directory_iterator entry(classDir, error), end; !error && entry != end; entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    std::error_code nodeError;
    if (sitsOnUsbBus(sysRoot, entry->path() / "device") &&
        fs::exists(fs::path(roots.dev) / name, nodeError)) {
      names.push_back(name);
    }
  }
  return names;
}

}  // namespace

void listSerialPorts(std::vector<std::string>& list, const TPortListRoots& roots) {
  std::vector<std::string> names = usbTtyNames(roots);
  std::sort(names.begin(), names.end(), naturalLess);
  list.clear();
  for (const std::string& name : names) list.push_back(roots.dev + "/" + name);
}

}  // namespace kelvry
