// Bootloader records: info, update-ID block, erase, programming with echo.

#include <gtest/gtest.h>

#include "firmware/hex_codec.h"
#include "tests/tools/running_logger.h"

namespace kelvry::sim::test {
namespace {

std::vector<uint8_t> bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (const int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

TEST(BootloaderRecords, InfoWordsAreBigEndian) {
  TLoggerConfig config = bootloaderConfig();
  config.identity.platform = 0x0102;
  config.identity.print = 0x0304;
  config.identity.info = 0xA0B1;
  TRunningLogger sim(config);

  const std::string reply = sim.port.exchange(":0100000520DA", 23);
  ASSERT_EQ(reply.size(), 23u);
  EXPECT_EQ(recordData(reply), bytes({0x01, 0x02, 0x03, 0x04, 0xA0, 0xB1}));
}

struct TUpidCase {
  uint16_t platform;
  uint16_t block;
};

class UpdateIdBlock : public ::testing::TestWithParam<TUpidCase> {};

TEST_P(UpdateIdBlock, WordsAreLittleEndianAtThePlatformsBlock) {
  TLoggerConfig config = bootloaderConfig();
  config.identity.platform = GetParam().platform;
  config.identity.upidId = 0x6617;
  config.identity.upidInfo = 0xFFFE;
  config.identity.upidPlatform = 0x0A0B;
  config.identity.upidPrint = 0x0C0D;
  TRunningLogger sim(config);

  const std::string reply = sim.port.exchange(commandRecord(GetParam().block, 0x30), 139);
  ASSERT_EQ(reply.size(), 139u);
  std::vector<uint8_t> expected = bytes({0x17, 0x66, 0xFE, 0xFF, 0x0B, 0x0A, 0x0D, 0x0C});
  expected.resize(64, 0xFF);
  EXPECT_EQ(recordData(reply), expected);

  // Any other block holds erased memory.
  const std::string other = sim.port.exchange(commandRecord(static_cast<uint16_t>(GetParam().block + 1), 0x30), 139);
  EXPECT_EQ(recordData(other), std::vector<uint8_t>(64, 0xFF));
}

INSTANTIATE_TEST_SUITE_P(Platforms, UpdateIdBlock,
                         ::testing::Values(TUpidCase{15, 0x0060}, TUpidCase{14, 0x0060}, TUpidCase{5, 0x0040},
                                           TUpidCase{0xFFFE, 0x0040}, TUpidCase{25, 0x0064},
                                           TUpidCase{3, 0x0000}, TUpidCase{999, 0x0000}));

TEST(BootloaderRecords, EraseAnswersWithOneDataByte) {
  TRunningLogger sim(bootloaderConfig());
  const std::string reply = sim.port.exchange(":0100000531C9", 13);
  ASSERT_EQ(reply.size(), 13u);
  EXPECT_EQ(recordData(reply).size(), 1u);
  EXPECT_EQ(sim.logger.stats().erases, 1);
}

TEST(BootloaderRecords, ProgrammedLinesAreEchoedAndReadBack) {
  TRunningLogger sim(bootloaderConfig());
  const std::vector<std::string> lines = imageLines(2);
  const std::vector<std::string> firstThree(lines.begin(), lines.begin() + 3);

  sim.port.exchange(commandRecord(0, 0x31), 13);
  EXPECT_EQ(programLines(sim.port, firstThree), 3);

  const TLoggerStats stats = sim.logger.stats();
  EXPECT_EQ(stats.recordsProgrammed, 3);
  ASSERT_EQ(stats.programOrder.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    THexCodec codec;
    codec.hexLine = firstThree[i];
    ASSERT_TRUE(codec.hexLineToRecord());
    const uint16_t block = static_cast<uint16_t>(codec.addressHigh() << 8 | codec.addressLow());
    EXPECT_EQ(stats.programOrder[i], block);
    EXPECT_EQ(recordData(sim.port.exchange(commandRecord(block, 0x30), 139)), recordData(firstThree[i]));
  }
}

TEST(BootloaderRecords, EraseForgetsWhatWasProgrammed) {
  TRunningLogger sim(bootloaderConfig());
  const std::vector<std::string> lines = imageLines(1);
  programLines(sim.port, {lines[0], lines[1]});
  sim.port.exchange(commandRecord(0, 0x31), 13);

  EXPECT_TRUE(sim.logger.stats().programOrder.empty());
  EXPECT_EQ(sim.logger.flashLines(), std::vector<std::string>{":00000001FF"});
}

TEST(BootloaderRecords, RecordsTheBootloaderDoesNotTakeGetNoReply) {
  const std::string line = imageLines(3)[0];
  std::string badChecksum = line;
  badChecksum.back() = badChecksum.back() == '0' ? '1' : '0';
  std::string lowerCase = line;
  for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string tooLong = ":41" + line.substr(3) + "00";  // count 0x41, length fits it

  const std::vector<std::string> refused = {badChecksum, lowerCase, tooLong,
                                            ":10020000000102030405060708090A0B0C0D0E0F76",  // 16-byte data record
                                            commandRecord(0, 0x40),                      // unknown command
                                            ":020000050000F9"};                          // command with 2 bytes
  TRunningLogger sim(bootloaderConfig());
  for (const std::string& record : refused) {
    SCOPED_TRACE(record);
    sim.port.send(record);
    EXPECT_TRUE(sim.port.staysSilent(100ms));
  }
  EXPECT_EQ(sim.logger.stats().exchanges, static_cast<int>(refused.size()));
  EXPECT_EQ(sim.logger.stats().recordsProgrammed, 0);
  EXPECT_EQ(sim.port.exchange(":0100000520DA", 23).size(), 23u);
}

TEST(BootloaderRecords, FlashDumpEqualsTheProgrammedImage) {
  TRunningLogger sim(bootloaderConfig());
  const std::vector<std::string> lines = imageLines(1);
  ASSERT_EQ(programAndStart(sim.port, lines), static_cast<int>(lines.size()));

  std::vector<std::string> expected = lines;
  expected.emplace_back(":00000001FF");
  EXPECT_EQ(sim.logger.flashLines(), expected);
}

}  // namespace
}  // namespace kelvry::sim::test
