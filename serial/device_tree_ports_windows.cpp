// The USB serial ports in the device tree. Each port of the Ports class has
// its COM name ("PortName") in its device parameters, where FTDI's driver
// also keeps the adapter's "LatencyTimer". Its vendor id, product id and
// serial number are read from its instance id and those of its ancestors
// (serial/usb_device_ids.h), as a composite device's serial number sits on
// the parent of the port's interface.

#include <windows.h>
// Defines GUID_DEVCLASS_PORTS here rather than needing a library for it.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <optional>

#include "serial/com_port_name.h"
#include "serial/port_sources_windows.h"
#include "text/utf16_text.h"
#include "serial/usb_device_ids.h"
#include "serial/visible_text.h"

namespace kelvry {

namespace {

// The port's interface, the USB device and the hub above it: every shape of
// serial/usb_device_ids.h is decided within these.
constexpr int kAncestorsLookedAt = 3;
constexpr DWORD kPortNameChars = 64;

// A text property of the device: the first string of a multi-string; empty
// when the device has none.
std::string deviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
  DWORD type = 0;
  DWORD bytes = 0;
  SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type, nullptr, 0, &bytes);
  if (bytes == 0) return {};
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');  // one more: the value may lack its terminator
  if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type, reinterpret_cast<BYTE*>(text.data()),
                                         bytes, nullptr) ||
      (type != REG_SZ && type != REG_MULTI_SZ))
    return {};
  return fromWide(text.c_str());
}

std::string instanceId(DEVINST device) {
  ULONG chars = 0;
  if (CM_Get_Device_ID_Size(&chars, device, 0) != CR_SUCCESS) return {};
  std::wstring id(chars + 1, L'\0');
  if (CM_Get_Device_IDW(device, id.data(), chars + 1, 0) != CR_SUCCESS) return {};
  return fromWide(id.c_str());
}

// The device's instance id, then its ancestors', nearest first.
std::vector<std::string> instanceIdChain(DEVINST device) {
  std::vector<std::string> ids{instanceId(device)};
  for (int level = 0; level < kAncestorsLookedAt; ++level) {
    DEVINST parent = 0;
    if (CM_Get_Parent(&parent, device, 0) != CR_SUCCESS) break;
    ids.push_back(instanceId(parent));
    device = parent;
  }
  return ids;
}

struct TDeviceParameters {
  std::string portName;
  std::optional<int> latencyTimerMs;
};

TDeviceParameters deviceParameters(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  TDeviceParameters parameters;
  const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
  if (key == INVALID_HANDLE_VALUE) return parameters;
  wchar_t name[kPortNameChars + 1] = {};  // the last one stays the terminator
  DWORD bytes = kPortNameChars * sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &bytes) == ERROR_SUCCESS &&
      type == REG_SZ)
    parameters.portName = fromWide(name);
  DWORD latency = 0;
  bytes = sizeof(latency);
  if (RegQueryValueExW(key, L"LatencyTimer", nullptr, &type, reinterpret_cast<BYTE*>(&latency), &bytes) ==
          ERROR_SUCCESS &&
      type == REG_DWORD)
    parameters.latencyTimerMs = static_cast<int>(latency);
  RegCloseKey(key);
  return parameters;
}

// Nothing for a port that is not a USB device's COM port (a built-in port,
// a printer port, a Bluetooth link).
std::optional<TUsbPortIdentity> usbPort(HDEVINFO devices, SP_DEVINFO_DATA& device) {
  const TDeviceParameters parameters = deviceParameters(devices, device);
  const std::string port = canonicalComPortName(parameters.portName);
  if (comPortNumber(port) == 0) return std::nullopt;
  TUsbDeviceIds ids = usbIdsOfDeviceChain(instanceIdChain(device.DevInst));
  // A driver that names its devices in its own way still says in its
  // hardware id which USB device it serves.
  if (ids.vendorId.empty()) ids = usbIdsInText(deviceText(devices, device, SPDRP_HARDWAREID));
  if (ids.vendorId.empty()) return std::nullopt;
  TUsbPortIdentity identity;
  identity.port = port;
  identity.vendorId = ids.vendorId;
  identity.productId = ids.productId;
  identity.serialNumber = visibleText(ids.serialNumber);
  identity.manufacturer = visibleText(deviceText(devices, device, SPDRP_MFG));
  std::string product = withoutPortSuffix(deviceText(devices, device, SPDRP_FRIENDLYNAME));
  identity.product = visibleText(product.empty() ? deviceText(devices, device, SPDRP_DEVICEDESC) : product);
  identity.latencyTimerMs = parameters.latencyTimerMs;
  return identity;
}

}  // namespace

std::vector<TUsbPortIdentity> deviceTreeUsbPorts() {
  std::vector<TUsbPortIdentity> ports;
  const HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return ports;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
    if (std::optional<TUsbPortIdentity> port = usbPort(devices, device)) ports.push_back(std::move(*port));
  }
  SetupDiDestroyDeviceInfoList(devices);
  return ports;
}

}  // namespace kelvry
