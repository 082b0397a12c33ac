#include "firmware/identity_names.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace kelvry {

namespace {

struct TNamedNumber {
  uint16_t key;
  std::string_view name;
};

// Kept sorted by key so a lookup is a binary search over constant data.
template <size_t N>
constexpr bool sortedAndUnique(const std::array<TNamedNumber, N>& table) {
  return std::ranges::adjacent_find(table, [](const TNamedNumber& a, const TNamedNumber& b) {
           return a.key >= b.key;
         }) == table.end();
}

constexpr uint16_t kClassSeries = 26135;  // the logger the built-in images are for
constexpr uint16_t kClassDuo = 26145;

constexpr std::array<TNamedNumber, 50> kClassNames{{
    {26000, "Prototype"},
    {26113, "Kelvry T1"},
    {26114, "Kelvry T2"},
    {26115, "Kelvry T3"},
    {26116, "Kelvry T4"},
    {26117, "Kelvry T5"},
    {26118, "Kelvry T6"},
    {26119, "Kelvry T7"},
    {26120, "Kelvry T8"},
    {26121, "Kelvry T9"},
    {26122, "SD CARD"},
    {26123, "Kelvry T10"},
    {26124, "Kelvry T11"},
    {26126, "Kelvry Mini"},
    {26127, "Kelvry Mini 2"},
    {26128, "Kelvry M10"},
    {26129, "Kelvry M12"},
    {26130, "Kelvry M20"},
    {26131, "Kelvry M22"},
    {26132, "Kelvry M30"},
    {26133, "Kelvry M32"},
    {26134, "Kelvry Flex"},
    {kClassSeries, "Kelvry Series"},
    {26136, "Kelvry Flex 2"},
    {26137, "Kelvry P10"},
    {26138, "Kelvry P20"},
    {26139, "Kelvry P30"},
    {26140, "Kelvry S10"},
    {26141, "Kelvry S20"},
    {26142, "Kelvry S30"},
    {26143, "Kelvry D10"},
    {26144, "Kelvry D20"},
    {kClassDuo, "Kelvry Duo"},
    {26146, "Kelvry D30"},
    {26147, "Kelvry H10"},
    {26148, "Kelvry H20"},
    {26149, "Kelvry H30"},
    {26150, "Kelvry R10"},
    {26151, "Kelvry R20"},
    {26152, "Kelvry R30"},
    {26153, "WLAN Kelvry T20"},
    {26154, "WLAN Kelvry T30"},
    {26155, "WLAN Production"},
    {26156, "BLE2 Kelvry T40"},
    {26157, "BLE1 Kelvry"},
    {26158, "Kelvry Go"},
    {26159, "Kelvry Go 2"},
    {51200, "BL"},
    {51201, "BL2"},
    {51202, "BL3"},
}};

constexpr std::array<TNamedNumber, 30> kPlatformNames{{
    {0, "F1612 A"},   {1, "F1612 B"},   {2, "F2617 B"},   {3, "F1611 SD"},
    {4, "F1611 B"},   {5, "F1610 B"},   {6, "F1611 C"},   {7, "F2617 C"},
    {8, "F5528 A"},   {9, "F1611 D"},   {10, "F2274 A"},  {11, "F5340 SD"},
    {12, "F5328 A"},  {13, "F5419 A"},  {14, "F5438 A"},  {15, "F5438 WD"},
    {16, "F5328 B"},  {17, "F5328 C"},  {18, "NINA"},     {19, "BlueGiga"},
    {20, "F5438 (Kelvry Mini)"},        {21, "F5438 WD2"}, {22, "F5340 SM"},
    {23, "F5335"},    {24, "F5335 B"},  {25, "F5232"},    {26, "F5335 C"},
    {27, "F5335 D"},  {28, "F5358"},    {65534, "F1611 C-SP"},
}};

constexpr std::array<TNamedNumber, 55> kPrintNames{{
    {0, "A0"},
    {1, "A1"},
    {2, "A2"},
    {3, "B3"},
    {4, "C1"},
    {5, "A3"},
    {6, "A5"},
    {7, "C2"},
    {8, "D1"},
    {9, "C3"},
    {10, "A6/A7/A8"},
    {11, "N1/2 Display"},
    {12, "A7/A8 (Kelvry Mini)"},
    {13, "PM0"},
    {14, "N1/2 DAC"},
    {15, "PB0"},
    {16, "E3"},
    {17, "B5"},
    {18, "A9b"},
    {19, "A10"},
    {20, "C5"},
    {21, "C6"},
    {22, "AR9"},
    {23, "PM3"},
    {24, "A9 (Kelvry M10)"},
    {25, "A9 (Kelvry M20)"},
    {26, "A10 (Kelvry P10)"},
    {27, "A10 (Kelvry P20)"},
    {28, "A10 (Kelvry P30)"},
    {29, "A9 (Kelvry S10) Rev B"},
    {30, "A9d"},
    {31, "NINA W1 UART"},
    {32, "NINA W1 SPI"},
    {33, "A10 WLAN UART"},
    {34, "A10 WLAN SPI"},
    {35, "NINA B3 UART"},
    {36, "BlueGiga UART"},
    {37, "A10e"},
    {38, "A10e WLAN UART"},
    {39, "A10e BLE UART"},
    {40, "A9 (Kelvry S20) Rev C"},
    {43, "A11 (Kelvry Go)"},
    {44, "A9e"},
    {45, "TGT1a"},
    {46, "A10g"},
    {47, "A10g WLAN UART"},
    {48, "A10g BLE UART"},
    {49, "A9f"},
    {50, "A10 Modbus"},
    {51, "A10g NINA (Kelvry Duo)"},
    {52, "B7"},
    {53, "A9g"},
    {54, "A9h"},
    {55, "A10i WLAN UART"},
    {56, "A10i BLE UART"},
}};

static_assert(sortedAndUnique(kClassNames));
static_assert(sortedAndUnique(kPlatformNames));
static_assert(sortedAndUnique(kPrintNames));

template <size_t N>
std::optional<std::string_view> lookUp(const std::array<TNamedNumber, N>& table, uint16_t key) {
  const auto it = std::ranges::lower_bound(table, key, {}, &TNamedNumber::key);
  if (it == table.end() || it->key != key) return std::nullopt;
  return it->name;
}

template <size_t N>
void nameOf(const std::array<TNamedNumber, N>& table, uint16_t key, std::string& name) {
  name = lookUp(table, key).value_or("?");
}

template <size_t N>
uint16_t validIn(const std::array<TNamedNumber, N>& table, uint16_t key) {
  return lookUp(table, key) ? key : kUnknownNumber;
}

// The boards whose radio module talks WLAN or BLE over a UART.
bool isWlanUartPrint(uint16_t print) { return print == 38 || print == 47 || print == 55; }
bool isBleUartPrint(uint16_t print) { return print == 39 || print == 48 || print == 56; }

// The variant name that the print selects, if any. The Duo has variant names
// for the older WLAN and BLE boards only; prints 55 and 56 keep its generic
// name.
std::optional<std::string_view> variantName(uint16_t cls, uint16_t print) {
  if (cls == kClassSeries) {
    if (isWlanUartPrint(print)) return "Kelvry Series WLAN";
    if (isBleUartPrint(print)) return "Kelvry";
  } else if (cls == kClassDuo) {
    if (print == 38 || print == 47) return "Kelvry Duo WLAN";
    if (print == 39 || print == 48) return "Kelvry Duo BLE";
  }
  return std::nullopt;
}

}  // namespace

void getClassName(uint16_t cls, uint16_t print, std::string& name) {
  nameOf(kClassNames, cls, name);
  if (const auto variant = variantName(cls, print)) name = *variant;
}

void getPlatformName(uint16_t platform, std::string& name) { nameOf(kPlatformNames, platform, name); }

void getPrintName(uint16_t print, std::string& name) { nameOf(kPrintNames, print, name); }

uint16_t validClass(uint16_t cls) { return validIn(kClassNames, cls); }

uint16_t validPlatform(uint16_t platform) { return validIn(kPlatformNames, platform); }

uint16_t validPrint(uint16_t print) { return validIn(kPrintNames, print); }

}  // namespace kelvry
