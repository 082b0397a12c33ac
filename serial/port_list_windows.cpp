// The USB serial ports present. The registry's serial-port map
// (HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM) holds one value per
// port present, so the map is the list of what is plugged in right now; the
// device tree adds who stands behind each port (serial/com_port_rows.h).

#include <windows.h>

#include "serial/port_list.h"
#include "serial/port_sources_windows.h"
#include "serial/serialcomm_ports.h"
#include "text/utf16_text.h"

namespace kelvry {

namespace {

constexpr const wchar_t* kSerialCommKey = L"HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr DWORD kMaxValueNameChars = 16383;  // the registry's own limit

// Every value of the key that holds a string, in the registry's order. A
// missing key (no serial port at all) gives none.
std::vector<TSerialCommValue> serialCommValues() {
  std::vector<TSerialCommValue> values;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return values;
  std::wstring name(kMaxValueNameChars + 1, L'\0');
  std::wstring data(MAX_PATH, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD nameChars = static_cast<DWORD>(name.size());
    DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LONG result = RegEnumValueW(key, index, name.data(), &nameChars, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataBytes);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS || type != REG_SZ) continue;
    std::wstring portName(data.data(), dataBytes / sizeof(wchar_t));
    while (!portName.empty() && portName.back() == L'\0') portName.pop_back();
    values.push_back({fromWide(name.substr(0, nameChars)), fromWide(portName)});
  }
  RegCloseKey(key);
  return values;
}

}  // namespace

std::vector<std::string> serialMapUsbPorts() { return usbVirtualComPorts(serialCommValues()); }

void listSerialPorts(std::vector<std::string>& list, const TPortListRoots& roots) {
  list.clear();
  for (const TUsbPortIdentity& identity : listUsbPortIdentities(roots)) list.push_back(identity.port);
}

}  // namespace kelvry
