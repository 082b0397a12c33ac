#include "firmware/hex_codec.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace kelvry {
namespace {

// A record's bytes as the codec holds them: count, address high and low,
// type, data (without the checksum).
THexCodec codecFor(uint16_t address, uint8_t type, const std::vector<uint8_t>& data) {
  THexCodec codec;
  codec.hexRecord[0] = static_cast<uint8_t>(data.size());
  codec.hexRecord[1] = static_cast<uint8_t>(address >> 8);
  codec.hexRecord[2] = static_cast<uint8_t>(address & 0xFF);
  codec.hexRecord[3] = type;
  for (size_t i = 0; i < data.size(); ++i) codec.hexRecord[4 + i] = data[i];
  return codec;
}

std::vector<uint8_t> patternBytes(size_t n) {
  std::vector<uint8_t> data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i * 37 + 11);
  return data;
}

struct TBuildCase {
  uint16_t address;
  uint8_t type;
  std::vector<uint8_t> data;
  std::string line;
};

class HexBuild : public testing::TestWithParam<TBuildCase> {};

TEST_P(HexBuild, BuildsTheKnownLineAndParsesItBack) {
  const TBuildCase& c = GetParam();
  THexCodec codec = codecFor(c.address, c.type, c.data);
  ASSERT_TRUE(codec.hexRecordToLine());
  EXPECT_EQ(codec.hexLine, c.line);

  THexCodec parser;
  parser.hexLine = c.line;
  ASSERT_TRUE(parser.hexLineToRecord());
  EXPECT_EQ(parser.count(), c.data.size());
  EXPECT_EQ(parser.addressHigh() * 256 + parser.addressLow(), c.address);
  EXPECT_EQ(parser.type(), c.type);
  for (size_t i = 0; i < c.data.size(); ++i) EXPECT_EQ(parser.data(static_cast<int>(i)), c.data[i]);
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, HexBuild,
    testing::Values(TBuildCase{0x0000, 1, {}, ":00000001FF"},          // end of file
                    TBuildCase{0x0000, 5, {0x20}, ":0100000520DA"},    // logger info request
                    TBuildCase{0x0000, 5, {0x30}, ":0100000530CA"},    // update-ID request
                    TBuildCase{0x03DF, 2, {0x12, 0x34}, ":0203DF021234D4"},
                    TBuildCase{0xFFFF, 4, {0xAB}, ":01FFFF04AB52"},
                    TBuildCase{0x0200, 0, {0x00, 0xFF}, ":0202000000FFFD"}));

TEST(HexCodec, CommandRecordBuildsTheSameLineAsTheWorkedExample) {
  THexCodec codec;
  codec.setCommandRecord(0x0000, 0x20);
  ASSERT_TRUE(codec.hexRecordToLine());
  EXPECT_EQ(codec.hexLine, ":0100000520DA");
}

TEST(HexCodec, FullDataRecordRoundTripsWithChecksumAtByte68) {
  const std::vector<uint8_t> data = patternBytes(64);
  THexCodec codec = codecFor(0x03DF, 0, data);
  ASSERT_TRUE(codec.hexRecordToLine());
  ASSERT_EQ(codec.hexLine.size(), 139u);

  THexCodec parser;
  parser.hexLine = codec.hexLine;
  ASSERT_TRUE(parser.hexLineToRecord());
  for (size_t k = 0; k < 68; ++k) EXPECT_EQ(parser.hexRecord[k], codec.hexRecord[k]) << "byte " << k;
  unsigned sum = 0;
  for (size_t k = 0; k < 68; ++k) sum += parser.hexRecord[k];
  EXPECT_EQ(static_cast<uint8_t>(sum + parser.hexRecord[68]), 0);
}

TEST(HexCodec, RefusesToBuildMoreThan64DataBytes) {
  for (int n : {65, 128, 255}) {
    THexCodec codec = codecFor(0, 0, patternBytes(64));
    codec.hexRecord[0] = static_cast<uint8_t>(n);
    codec.hexLine = ":00000001FF";
    EXPECT_FALSE(codec.hexRecordToLine()) << n;
    EXPECT_EQ(codec.hexLine, ":") << n;
  }
}

TEST(HexCodec, BuildsUpperCaseDigitsOnly) {
  THexCodec codec = codecFor(0xABCD, 0xEF, {0xAB, 0xCD, 0xEF});
  ASSERT_TRUE(codec.hexRecordToLine());
  EXPECT_EQ(codec.hexLine.find_first_of("abcdef"), std::string::npos) << codec.hexLine;
}

// A line written by hand, independent of the codec: ':' and the bytes in
// upper-case hex, then their correct checksum.
std::string rawLine(const std::vector<uint8_t>& bytes) {
  const char* digits = "0123456789ABCDEF";
  std::string line = ":";
  uint8_t sum = 0;
  for (uint8_t b : bytes) {
    sum = static_cast<uint8_t>(sum + b);
    line += digits[b >> 4];
    line += digits[b & 15];
  }
  const auto checksum = static_cast<uint8_t>(0x100 - sum);
  line += digits[checksum >> 4];
  line += digits[checksum & 15];
  return line;
}

// A data record of `n` bytes with a right checksum and a length that fits
// its count: only the count itself can be wrong.
std::string lineWithCount(size_t n) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(n), 0x02, 0x00, 0x00};
  const std::vector<uint8_t> data = patternBytes(n);
  bytes.insert(bytes.end(), data.begin(), data.end());
  return rawLine(bytes);
}

std::string lowerCase(std::string line) {
  for (char& ch : line) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return line;
}

std::string fullDataLineAt(uint16_t address) {
  THexCodec codec = codecFor(address, 0, patternBytes(64));
  codec.hexRecordToLine();
  return codec.hexLine;
}

std::string fullDataLine() { return fullDataLineAt(0x0D7F); }

struct TRejectCase {
  const char* what;
  std::string line;
};

class HexReject : public testing::TestWithParam<TRejectCase> {};

TEST_P(HexReject, IsRefused) {
  THexCodec codec;
  codec.hexLine = GetParam().line;
  EXPECT_FALSE(codec.hexLineToRecord()) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    MalformedLines, HexReject,
    testing::Values(TRejectCase{"empty", ""},
                    TRejectCase{"ten characters", ":00000001F"},
                    TRejectCase{"no colon", "000000001FF"},
                    TRejectCase{"colon elsewhere", "0:0000001FF"},
                    TRejectCase{"count not hex", ":G0000001FF"},
                    TRejectCase{"count lower case", ":0a000001FF"},
                    TRejectCase{"count 0x41 with matching length", lineWithCount(65)},
                    TRejectCase{"count 0xFF with matching length", lineWithCount(255)},
                    TRejectCase{"count 64, 137 characters", fullDataLine().substr(0, 137)},
                    TRejectCase{"count 64, 141 characters", fullDataLine() + "00"},
                    TRejectCase{"trailing carriage return", ":00000001FF\r"},
                    TRejectCase{"blank inside", ":01000005 20DA"},
                    TRejectCase{"lower-case end of file", ":00000001ff"},
                    TRejectCase{"lower-case data record", lowerCase(fullDataLine())},
                    TRejectCase{"checksum one too high", ":0100000520DB"},
                    TRejectCase{"checksum one too low", ":0100000520D9"}),
    [](const testing::TestParamInfo<TRejectCase>& caseInfo) {
      std::string name = caseInfo.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// Anchors the rejects above: the same hand-written line with 64 bytes is fine.
TEST(HexCodec, HandWrittenLineOf64BytesIsAccepted) {
  THexCodec codec;
  codec.hexLine = lineWithCount(64);
  ASSERT_EQ(codec.hexLine.size(), 139u);
  EXPECT_TRUE(codec.hexLineToRecord());
  EXPECT_EQ(codec.hexLine, fullDataLineAt(0x0200));
}

TEST(HexCodec, WrongChecksumLeavesTheDecodedBytesInPlace) {
  THexCodec codec;
  codec.hexLine = ":0100000520DB";
  ASSERT_FALSE(codec.hexLineToRecord());
  const std::vector<uint8_t> expected{0x01, 0x00, 0x00, 0x05, 0x20, 0xDB};
  for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(codec.hexRecord[k], expected[k]) << "byte " << k;
}

TEST(HexCodec, BadDigitStopsTheParseWhereItStands) {
  THexCodec codec;
  codec.hexRecord.fill(0xEE);
  codec.hexLine = ":0103DFG520DA";  // the type pair is broken
  ASSERT_FALSE(codec.hexLineToRecord());
  EXPECT_EQ(codec.hexRecord[0], 0x01);
  EXPECT_EQ(codec.hexRecord[1], 0x03);
  EXPECT_EQ(codec.hexRecord[2], 0xDF);
  EXPECT_EQ(codec.hexRecord[3], 0xEE);
  EXPECT_EQ(codec.hexRecord[4], 0xEE);
}

TEST(HexCodec, TooLargeCountIsStoredBeforeTheLineIsRefused) {
  THexCodec codec;
  codec.hexLine = lineWithCount(65);
  ASSERT_FALSE(codec.hexLineToRecord());
  EXPECT_EQ(codec.count(), 0x41);
}

TEST(HexCodec, EndOfFileRecordParses) {
  THexCodec codec;
  codec.hexRecord.fill(0xEE);
  codec.hexLine = ":00000001FF";
  ASSERT_TRUE(codec.hexLineToRecord());
  EXPECT_EQ(codec.count(), 0);
  EXPECT_EQ(codec.addressHigh(), 0);
  EXPECT_EQ(codec.addressLow(), 0);
  EXPECT_EQ(codec.type(), 1);
  EXPECT_EQ(codec.hexRecord[4], 0xFF);  // the checksum follows the header at once
}

}  // namespace
}  // namespace kelvry
