#include "engine/checksums.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "firmware/hex_digits.h"

namespace kelvry {
namespace {

uint8_t crc8Of(const std::vector<uint8_t>& bytes) {
  return crc8(bytes.data(), static_cast<uint16_t>(bytes.size()));
}

const std::string kCheckText = "123456789";
const auto* kCheckBytes = reinterpret_cast<const uint8_t*>(kCheckText.data());

TEST(Crc8, CheckValueOfTheDallasMaximVariant) { EXPECT_EQ(crc8(kCheckBytes, 9), 0xA1); }

TEST(Crc8, SingleBytesGiveTheFirstTableEntries) {
  const std::array<uint8_t, 8> expected{0x00, 0x5E, 0xBC, 0xE2, 0x61, 0x3F, 0xDD, 0x83};
  for (uint8_t i = 0; i < expected.size(); ++i) EXPECT_EQ(crc8Of({i}), expected[i]) << int(i);
}

TEST(Crc8, CommandFramesCarryTheirKnownChecksums) {
  EXPECT_EQ(crc8Of({0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}), 0xAA);  // identity query
  EXPECT_EQ(crc8Of({0x82, 0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00}), 0x09);  // bootloader jump
  EXPECT_EQ(crc8Of({0, 0, 0, 0, 0, 0, 0}), 0x00);                       // wake-up frame
}

TEST(Crc8, AFrameWithItsChecksumAppendedChecksToZero) {
  std::vector<uint8_t> frame{0x82, 0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00};
  frame.push_back(crc8Of(frame));
  EXPECT_EQ(crc8Of(frame), 0x00);
}

TEST(Crc16, CheckValueOfModbusVariant) {
  EXPECT_EQ(crc16(kCheckBytes, 9), 0x4B37);
  EXPECT_EQ(crc16(kCheckBytes, 0), 0xFFFF);
}

TEST(CheckHexReply, RightChecksumGivesZeroAndAWrongOneItsComplement) {
  const char* good = ":0100000520DA";
  EXPECT_EQ(checkHexReply(good + 1, 6), 0);
  const char* offByOne = ":0100000520DB";
  EXPECT_EQ(checkHexReply(offByOne + 1, 6), 0xFF);
  const char* endOfFile = ":00000001FF";
  EXPECT_EQ(checkHexReply(endOfFile + 1, 5), 0);
  // Without the checksum pair the result is the checksum itself.
  EXPECT_EQ(checkHexReply(good + 1, 5), 0xDA);
}

TEST(HexDigitValue, AcceptsUpperCaseDigitsOnlyAndKeepsTheOutputOnRefusal) {
  const std::string digits = "0123456789ABCDEF";
  for (size_t i = 0; i < digits.size(); ++i) {
    uint8_t value = 0xEE;
    EXPECT_TRUE(hexDigitValue(digits[i], value)) << digits[i];
    EXPECT_EQ(value, i) << digits[i];
  }
  for (char refused : std::string("abcdefG:/@ \0", 12)) {
    uint8_t value = 0x5A;
    EXPECT_FALSE(hexDigitValue(refused, value)) << int(refused);
    EXPECT_EQ(value, 0x5A) << int(refused);
  }
}

TEST(NibbleToHexDigit, UsesTheLowFourBitsInUpperCase) {
  EXPECT_EQ(nibbleToHexDigit(0x0A), 'A');
  EXPECT_EQ(nibbleToHexDigit(0xAB), 'B');
  EXPECT_EQ(nibbleToHexDigit(0xF0), '0');
  EXPECT_EQ(nibbleToHexDigit(0x09), '9');
}

TEST(MakeWord, PutsTheHighByteFirst) {
  EXPECT_EQ(makeWord(0x66, 0x17), 0x6617);
  EXPECT_EQ(makeWord(0xC8, 0x02), 51202);
  EXPECT_EQ(makeWord(0x00, 0xFF), 0x00FF);
  EXPECT_EQ(makeWord(0xFF, 0xFF), 0xFFFF);
}

}  // namespace
}  // namespace kelvry
