// The internal-mode switch on Windows: the value "intern" under
// HKEY_CURRENT_USER\Software\Dralmor\Tarvo, where the window's settings store
// (organization "Dralmor", application "Tarvo") keeps it too. The switch is
// on when the value is the number 7319: a DWORD or QWORD as written by hand or
// by a .reg file, or the text "7319" as the settings store writes numbers.

#include "frontend/internal_switch.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace kelvry {

namespace {

constexpr const wchar_t* kSettingsKey = L"Software\\Dralmor\\Tarvo";
constexpr const wchar_t* kSwitchValue = L"intern";
constexpr uint64_t kInternalCode = kInternalSwitchValue;

bool isInternalCode(DWORD type, const BYTE* data, DWORD size) {
  switch (type) {
    case REG_DWORD:
      if (size != sizeof(uint32_t)) return false;
      uint32_t dword;
      std::memcpy(&dword, data, sizeof dword);
      return dword == kInternalCode;
    case REG_QWORD:
      if (size != sizeof(uint64_t)) return false;
      uint64_t qword;
      std::memcpy(&qword, data, sizeof qword);
      return qword == kInternalCode;
    case REG_SZ: {
      std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      return text == L"7319";
    }
    default:
      return false;
  }
}

}  // namespace

bool ReadInternalSwitch() {
  BYTE data[64] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  // A missing key or value, or one too long to be the code, leaves the
  // switch off.
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kSwitchValue, RRF_RT_ANY | RRF_NOEXPAND, &type, data, &size) !=
      ERROR_SUCCESS)
    return false;
  return isInternalCode(type, data, size);
}

}  // namespace kelvry
