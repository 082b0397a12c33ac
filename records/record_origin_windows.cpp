#include <windows.h>

#include <array>

#include "records/record_origin.h"

namespace kelvry {

namespace {

std::string utf8(const wchar_t* text, DWORD length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string converted(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), converted.data(), size, nullptr, nullptr);
  return converted;
}

}  // namespace

std::string stationName() {
  std::array<wchar_t, 256> name{};
  DWORD length = static_cast<DWORD>(name.size());
  if (!GetComputerNameExW(ComputerNameDnsHostname, name.data(), &length)) return {};
  return utf8(name.data(), length);
}

std::string operatingUserName() {
  std::array<wchar_t, 257> name{};
  DWORD length = static_cast<DWORD>(name.size());
  if (!GetUserNameW(name.data(), &length) || length == 0) return {};
  return utf8(name.data(), length - 1);  // the count includes the terminator
}

}  // namespace kelvry
