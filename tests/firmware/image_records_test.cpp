// The codec against every record of the built-in images, with each line's
// checksum worked out here in a few lines of its own: the virtual logger
// reads and writes records with the same codec as the job, so a fault in it
// would pass every exchange with that logger.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"

namespace kelvry {
namespace {

// The bytes of a record line after its colon, checksum included.
std::vector<uint8_t> bytesOf(const std::string& line) {
  std::vector<uint8_t> bytes;
  for (size_t i = 1; i + 1 < line.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
  return bytes;
}

// The two's complement of the sum of every byte before the checksum.
uint8_t checksumOf(const std::vector<uint8_t>& bytes) {
  unsigned sum = 0;
  for (size_t i = 0; i + 1 < bytes.size(); ++i) sum += bytes[i];
  return static_cast<uint8_t>(0x100 - sum % 0x100);
}

class ImageRecords : public ::testing::TestWithParam<uint32_t> {};

TEST_P(ImageRecords, CarryTheirChecksumAndRoundTripThroughTheCodec) {
  const TFirmwareSources builtIn;
  const int32_t count = builtIn.getFirmwareLineCount(GetParam());
  ASSERT_GT(count, 0);
  for (int32_t i = 0; i <= count; ++i) {
    std::string line;
    builtIn.getFirmwareLine(GetParam(), i, line);
    SCOPED_TRACE("line " + std::to_string(i) + ": " + line);
    ASSERT_EQ(line.size() % 2, 1u);
    const std::vector<uint8_t> bytes = bytesOf(line);
    ASSERT_EQ(bytes.size(), bytes.front() + 5u);
    ASSERT_EQ(bytes.back(), checksumOf(bytes));

    THexCodec codec;
    codec.hexLine = line;
    ASSERT_TRUE(codec.hexLineToRecord());
    for (size_t k = 0; k < bytes.size(); ++k) ASSERT_EQ(codec.hexRecord[k], bytes[k]) << "byte " << k;
    codec.hexLine.clear();
    ASSERT_TRUE(codec.hexRecordToLine());
    ASSERT_EQ(codec.hexLine, line);
  }
}

INSTANTIATE_TEST_SUITE_P(Builtin, ImageRecords, ::testing::Values(1u, 2u, 3u, 4u),
                         [](const auto& p) { return "Image" + std::to_string(p.param); });

}  // namespace
}  // namespace kelvry
