// The USB identity of a serial port from sysfs. A tty's "device" link leads
// to the port's place in the device tree: for usb-serial drivers (ttyUSB*)
// the usb-serial port, which also holds the FTDI driver's latency_timer; for
// CDC ACM (ttyACM*) the USB interface. The USB device with its idVendor,
// idProduct, manufacturer, product and serial attributes is the nearest
// ancestor that has an idVendor file.

#include "serial/usb_port_identity.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "serial/visible_text.h"

namespace kelvry {

namespace {

namespace fs = std::filesystem;

// A sysfs attribute is one line of text; a missing one reads as empty.
std::string readAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

std::optional<int> readNumberAttribute(const fs::path& file) {
  const std::string text = readAttribute(file);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Stops at the root of sysfs, so that a fake tree in a test never reads
// above itself.
std::optional<fs::path> usbDeviceAbove(const fs::path& portDevice, const fs::path& sysRoot) {
  for (fs::path dir = portDevice; dir.has_relative_path() && dir != sysRoot; dir = dir.parent_path()) {
    std::error_code error;
    if (fs::exists(dir / "idVendor", error)) return dir;
  }
  return std::nullopt;
}

}  // namespace

TUsbPortIdentity readUsbPortIdentity(const std::string& devicePath, const TPortListRoots& roots) {
  TUsbPortIdentity identity;
  identity.port = devicePath;
  std::error_code error;
  const fs::path classDir = fs::canonical(roots.sysClassTty, error);
  if (error) return identity;
  const fs::path portDevice = fs::canonical(classDir / fs::path(devicePath).filename() / "device", error);
  if (error) return identity;

  identity.latencyTimerMs = readNumberAttribute(portDevice / "latency_timer");
  const std::optional<fs::path> usbDevice = usbDeviceAbove(portDevice, classDir.parent_path().parent_path());
  if (!usbDevice) return identity;
  identity.vendorId = readAttribute(*usbDevice / "idVendor");
  identity.productId = readAttribute(*usbDevice / "idProduct");
  identity.manufacturer = visibleText(readAttribute(*usbDevice / "manufacturer"));
  identity.product = visibleText(readAttribute(*usbDevice / "product"));
  identity.serialNumber = visibleText(readAttribute(*usbDevice / "serial"));
  return identity;
}

}  // namespace kelvry
