// The start command starts the application only when the flash holds a whole
// known image, vector table included, programmed since the erase.

#include <gtest/gtest.h>

#include <functional>

#include "firmware/hex_codec.h"
#include "tests/tools/running_logger.h"

namespace kelvry::sim::test {
namespace {

std::vector<std::string> without(std::vector<std::string> lines, size_t index) {
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(index));
  return lines;
}

// The same data at another block.
std::string movedToBlock(const std::string& line, uint16_t block) {
  THexCodec codec;
  codec.hexLine = line;
  codec.hexLineToRecord();
  codec.hexRecord[1] = static_cast<uint8_t>(block >> 8);
  codec.hexRecord[2] = static_cast<uint8_t>(block & 0xFF);
  codec.hexRecordToLine();
  return codec.hexLine;
}

// A small image of two lines, one of them the vector table.
std::vector<std::string> smallImage() {
  const std::vector<std::string> lines = imageLines(2);
  return {lines[0], lines[static_cast<size_t>(vectorLineIndex(lines))]};
}

struct TStartCase {
  const char* name;
  std::function<void(TSlavePort&)> host;
  bool starts;
  uint8_t verH = 0, verL = 0;  // reported by a started application
};

class ApplicationStart : public ::testing::TestWithParam<TStartCase> {};

TEST_P(ApplicationStart, OnlyAfterAWholeImage) {
  TLoggerConfig config = bootloaderConfig();
  config.extraImages.push_back(smallImage());
  TRunningLogger sim(config);

  GetParam().host(sim.port);
  EXPECT_TRUE(sim.port.staysSilent(100ms));  // the start command has no reply
  const TIdentity id = decodeIdentity(sim.port.exchange(identityQuery(), 8));

  const TLoggerStats stats = sim.logger.stats();
  EXPECT_EQ(stats.starts, 1);
  if (GetParam().starts) {
    EXPECT_EQ(id.cls, 0x6617);
    EXPECT_EQ(id.verH, GetParam().verH);
    EXPECT_EQ(id.verL, GetParam().verL);
    EXPECT_TRUE(stats.inApplication);
    EXPECT_EQ(stats.applicationStarts, 1);
    EXPECT_EQ(stats.startedIdentityReplies, 1);
  } else {
    EXPECT_EQ(id.cls, 0xC802);
    EXPECT_FALSE(stats.inApplication);
    EXPECT_EQ(stats.applicationStarts, 0);
  }
}

const std::vector<std::string> kImage1 = imageLines(1);
const std::vector<std::string> kImage4 = imageLines(4);

INSTANTIATE_TEST_SUITE_P(
    Hosts, ApplicationStart,
    ::testing::Values(
        TStartCase{"WholeImage4", [](TSlavePort& p) { programAndStart(p, kImage4); }, true, 2, 92},
        TStartCase{"WholeImage1", [](TSlavePort& p) { programAndStart(p, kImage1); }, true, 1, 88},
        // The configured application version (2.92) stands for an image without header.
        TStartCase{"ExtraImage", [](TSlavePort& p) { programAndStart(p, smallImage()); }, true, 2, 92},
        TStartCase{"OneLineLeftOut", [](TSlavePort& p) { programAndStart(p, without(kImage4, 1000)); }, false},
        TStartCase{"VectorTableLeftOut",
                   [](TSlavePort& p) { programAndStart(p, without(kImage4, static_cast<size_t>(vectorLineIndex(kImage4)))); },
                   false},
        TStartCase{"ForeignLineAdded",
                   [](TSlavePort& p) {
                     std::vector<std::string> lines = kImage4;
                     lines.push_back(movedToBlock(kImage4[0], 0x0100));
                     programAndStart(p, lines);
                   },
                   false},
        TStartCase{"ErasedAfterProgramming",
                   [](TSlavePort& p) {
                     p.exchange(commandRecord(0, 0x31), 13);
                     programLines(p, kImage4);
                     p.exchange(commandRecord(0, 0x31), 13);
                     p.send(commandRecord(0, 0x33));
                   },
                   false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ApplicationStartAfterRefusal, ProgrammingTheMissingLineLetsItStart) {
  TRunningLogger sim(bootloaderConfig());
  programAndStart(sim.port, without(kImage4, 5));
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0xC802);

  programLines(sim.port, {kImage4[5]});
  sim.port.send(commandRecord(0, 0x33));
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x6617);
  EXPECT_EQ(sim.logger.stats().starts, 2);
}

TEST(ApplicationStartAfterRefusal, StartedApplicationObeysTheJumpAgain) {
  TRunningLogger sim(bootloaderConfig());
  programAndStart(sim.port, kImage1);
  sim.port.send(jumpFrame());
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0xC802);
  EXPECT_EQ(sim.logger.stats().startedIdentityReplies, 0);
}

}  // namespace
}  // namespace kelvry::sim::test
