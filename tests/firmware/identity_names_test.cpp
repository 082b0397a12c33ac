#include "firmware/identity_names.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "firmware/firmware_sources.h"

namespace kelvry {
namespace {

std::string className(uint16_t cls, uint16_t print = 0xFFFF) {
  std::string name = "stale";
  getClassName(cls, print, name);
  return name;
}

std::string platformName(uint16_t platform) {
  std::string name = "stale";
  getPlatformName(platform, name);
  return name;
}

std::string printName(uint16_t print) {
  std::string name = "stale";
  getPrintName(print, name);
  return name;
}

using TNameOf = std::string (*)(uint16_t);
using TValid = uint16_t (*)(uint16_t);

std::string genericClassName(uint16_t cls) { return className(cls); }

// Every number whose name is not "?", and a check that the matching valid
// test agrees with the name on every one of the 65536 numbers.
std::vector<uint16_t> knownNumbers(TNameOf nameOf, TValid valid) {
  std::vector<uint16_t> known;
  for (uint32_t k = 0; k <= 0xFFFF; ++k) {
    const auto key = static_cast<uint16_t>(k);
    const std::string name = nameOf(key);
    EXPECT_FALSE(name.empty()) << k;
    if (name != "?") {
      known.push_back(key);
      EXPECT_EQ(valid(key), key) << k;
    } else {
      EXPECT_EQ(valid(key), 0xFFFF) << k;
    }
  }
  return known;
}

TEST(IdentityNames, TablesHoldExactlyTheirKeys) {
  std::vector<uint16_t> classes{26000};
  for (uint16_t c = 26113; c <= 26159; ++c)
    if (c != 26125) classes.push_back(c);
  for (uint16_t c = 51200; c <= 51202; ++c) classes.push_back(c);
  ASSERT_EQ(classes.size(), 50u);
  EXPECT_EQ(knownNumbers(genericClassName, validClass), classes);

  std::vector<uint16_t> platforms;
  for (uint16_t p = 0; p <= 28; ++p) platforms.push_back(p);
  platforms.push_back(65534);
  ASSERT_EQ(platforms.size(), 30u);
  EXPECT_EQ(knownNumbers(platformName, validPlatform), platforms);

  std::vector<uint16_t> prints;
  for (uint16_t p = 0; p <= 56; ++p)
    if (p != 41 && p != 42) prints.push_back(p);
  ASSERT_EQ(prints.size(), 55u);
  EXPECT_EQ(knownNumbers(printName, validPrint), prints);
}

TEST(IdentityNames, FixedClassNames) {
  const std::vector<std::pair<uint16_t, std::string>> cases{
      {26000, "Prototype"}, {26122, "SD CARD"}, {26155, "WLAN Production"}, {26157, "BLE1 Kelvry"},
      {51200, "BL"},        {51201, "BL2"},     {51202, "BL3"},             {51203, "?"},
      {26125, "?"},         {26112, "?"},       {26160, "?"},               {0, "?"},
      {0xFFFF, "?"}};
  for (const auto& [cls, name] : cases) EXPECT_EQ(className(cls), name) << cls;
}

TEST(IdentityNames, GapInTheClassTableSitsBetweenKnownNeighbours) {
  EXPECT_EQ(validClass(26125), 0xFFFF);
  EXPECT_EQ(validClass(26124), 26124);
  EXPECT_EQ(validClass(26126), 26126);
}

TEST(IdentityNames, RadioModelsCarryTheirRadioInTheName) {
  EXPECT_TRUE(className(26153).starts_with("WLAN ")) << className(26153);
  EXPECT_TRUE(className(26154).starts_with("WLAN ")) << className(26154);
  EXPECT_TRUE(className(26156).starts_with("BLE2 ")) << className(26156);
}

TEST(IdentityNames, SeriesClassIsNamedByItsPrint) {
  const std::string generic = className(26135, 0xFFFF);
  EXPECT_NE(generic, "?");
  EXPECT_NE(generic, "Kelvry");
  for (uint16_t print : {39, 48, 56}) EXPECT_EQ(className(26135, print), "Kelvry") << print;
  for (uint16_t print : {19, 0, 57, 0xFFFF}) EXPECT_EQ(className(26135, print), generic) << print;

  const std::string wlan = className(26135, 55);
  EXPECT_NE(wlan, generic);
  EXPECT_NE(wlan, "Kelvry");
  EXPECT_NE(wlan, "?");
  for (uint16_t print : {38, 47}) EXPECT_EQ(className(26135, print), wlan) << print;
}

TEST(IdentityNames, DuoClassHasVariantsForTheOlderRadioBoardsOnly) {
  const std::string generic = className(26145, 0xFFFF);
  EXPECT_NE(generic, "?");
  for (uint16_t print : {55, 56, 19}) EXPECT_EQ(className(26145, print), generic) << print;

  const std::string wlan = className(26145, 38);
  const std::string ble = className(26145, 39);
  EXPECT_EQ(className(26145, 47), wlan);
  EXPECT_EQ(className(26145, 48), ble);
  EXPECT_NE(wlan, generic);
  EXPECT_NE(ble, generic);
  EXPECT_NE(wlan, ble);
  EXPECT_NE(ble, "Kelvry");
}

TEST(IdentityNames, PrintMattersForNoOtherClass) {
  for (uint16_t cls : {26000, 26134, 26136, 26146, 51202, 26125}) {
    for (uint16_t print : {38, 39, 55, 56}) EXPECT_EQ(className(cls, print), className(cls)) << cls << "/" << print;
  }
}

TEST(IdentityNames, BuiltinImagesNameTheirLogger) {
  for (uint32_t source = 1; source <= 4; ++source) {
    TBl3FileHeader header;
    TFirmwareSources{}.getFirmwareHeader(source, header);
    const std::string expected = header.tarvo_print == 19 ? className(26135) : "Kelvry";
    EXPECT_EQ(className(header.tarvo_class, header.tarvo_print), expected) << source;
  }
}

TEST(IdentityNames, PlatformNames) {
  const std::vector<std::pair<uint16_t, std::string>> cases{
      {0, "F1612 A"},   {1, "F1612 B"},   {2, "F2617 B"},     {3, "F1611 SD"}, {4, "F1611 B"},
      {5, "F1610 B"},   {6, "F1611 C"},   {7, "F2617 C"},     {8, "F5528 A"},  {9, "F1611 D"},
      {10, "F2274 A"},  {11, "F5340 SD"}, {12, "F5328 A"},    {13, "F5419 A"}, {14, "F5438 A"},
      {15, "F5438 WD"}, {16, "F5328 B"},  {17, "F5328 C"},    {18, "NINA"},    {19, "BlueGiga"},
      {21, "F5438 WD2"}, {22, "F5340 SM"}, {23, "F5335"},     {24, "F5335 B"}, {25, "F5232"},
      {26, "F5335 C"},  {27, "F5335 D"},  {28, "F5358"},      {65534, "F1611 C-SP"},
      {29, "?"},        {30, "?"},        {65533, "?"},       {0xFFFF, "?"}};
  for (const auto& [platform, name] : cases) EXPECT_EQ(platformName(platform), name) << platform;

  const std::string twenty = platformName(20);
  EXPECT_TRUE(twenty.starts_with("F5438 (") && twenty.ends_with(")")) << twenty;
  EXPECT_EQ(validPlatform(0xFFFF), 0xFFFF);
  EXPECT_EQ(validPlatform(65534), 65534);
}

TEST(IdentityNames, PrintNames) {
  const std::vector<std::pair<uint16_t, std::string>> cases{
      {0, "A0"},             {1, "A1"},           {2, "A2"},           {3, "B3"},
      {4, "C1"},             {5, "A3"},           {6, "A5"},           {7, "C2"},
      {8, "D1"},             {9, "C3"},           {10, "A6/A7/A8"},    {11, "N1/2 Display"},
      {13, "PM0"},           {14, "N1/2 DAC"},    {15, "PB0"},         {16, "E3"},
      {17, "B5"},            {18, "A9b"},         {19, "A10"},         {20, "C5"},
      {21, "C6"},            {22, "AR9"},         {23, "PM3"},         {30, "A9d"},
      {31, "NINA W1 UART"},  {32, "NINA W1 SPI"}, {33, "A10 WLAN UART"}, {34, "A10 WLAN SPI"},
      {35, "NINA B3 UART"},  {36, "BlueGiga UART"}, {37, "A10e"},      {38, "A10e WLAN UART"},
      {39, "A10e BLE UART"}, {44, "A9e"},         {45, "TGT1a"},       {46, "A10g"},
      {47, "A10g WLAN UART"}, {48, "A10g BLE UART"}, {49, "A9f"},      {50, "A10 Modbus"},
      {52, "B7"},            {53, "A9g"},         {54, "A9h"},         {55, "A10i WLAN UART"},
      {56, "A10i BLE UART"}, {41, "?"},           {42, "?"},           {57, "?"},
      {0xFFFF, "?"}};
  for (const auto& [print, name] : cases) EXPECT_EQ(printName(print), name) << print;
  EXPECT_EQ(validPrint(41), 0xFFFF);
  EXPECT_EQ(validPrint(42), 0xFFFF);
}

TEST(IdentityNames, BracketedPrintNamesStartWithTheirBoardCode) {
  const std::vector<std::pair<uint16_t, std::string>> cases{
      {12, "A7/A8 ("}, {24, "A9 ("},  {25, "A9 ("},  {26, "A10 ("}, {27, "A10 ("},
      {28, "A10 ("},   {29, "A9 ("},  {40, "A9 ("},  {43, "A11 ("}, {51, "A10g NINA ("}};
  for (const auto& [print, start] : cases) {
    const std::string name = printName(print);
    EXPECT_TRUE(name.starts_with(start)) << print << ": " << name;
    EXPECT_NE(name.find(')'), std::string::npos) << print << ": " << name;
  }
}

}  // namespace
}  // namespace kelvry
