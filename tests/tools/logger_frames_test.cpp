// Command frames: identity in both modes and the bootloader jump.

#include <gtest/gtest.h>

#include "engine/checksums.h"
#include "tests/tools/running_logger.h"

namespace kelvry::sim::test {
namespace {

// The frame with its checksum byte replaced. (String::replace with a literal
// here makes GCC 12 warn falsely, -Wrestrict, at -O3.)
std::string withChecksum(std::string frame, char checksum) {
  frame[7] = checksum;
  return frame;
}

TEST(LoggerFrames, IdentityOfTheRunningApplication) {
  TLoggerConfig config;
  config.identity.appClass = 0x1234;
  config.identity.appVerH = 7;
  config.identity.appVerL = 5;
  TRunningLogger sim(config);

  const std::string reply = sim.port.exchange(identityQuery(), 8);
  ASSERT_EQ(reply.size(), 8u);
  EXPECT_EQ(static_cast<uint8_t>(reply[0]), 0x81);
  EXPECT_EQ(reply[1], 0);
  EXPECT_EQ(reply[6], 0);
  const TIdentity id = decodeIdentity(reply);
  EXPECT_TRUE(id.checksumRight);
  EXPECT_EQ(id.cls, 0x1234);  // big-endian: byte 2 is the high byte
  EXPECT_EQ(id.verH, 7);
  EXPECT_EQ(id.verL, 5);
  EXPECT_EQ(sim.logger.stats().identityQueries, 1);
  EXPECT_TRUE(sim.logger.stats().inApplication);
}

TEST(LoggerFrames, IdentityOfTheBootloader) {
  TLoggerConfig config = bootloaderConfig();
  config.identity.blClass = 0xC802;
  config.identity.blVerH = 3;
  config.identity.blVerL = 1;
  TRunningLogger sim(config);

  const TIdentity id = decodeIdentity(sim.port.exchange(identityQuery(), 8));
  EXPECT_TRUE(id.checksumRight);
  EXPECT_EQ(id.status & 0x20, 0);
  EXPECT_EQ(id.cls, 0xC802);
  EXPECT_EQ(id.verH, 3);
  EXPECT_EQ(id.verL, 1);
  EXPECT_FALSE(sim.logger.stats().inApplication);
}

TEST(LoggerFrames, ExactFrameOfTheDefaultLogger) {
  TRunningLogger sim;
  // 66 17 = class 0x6617, 02 5C = version 2.92.
  std::string expected("\x81\x00\x66\x17\x02\x5C\x00", 7);
  expected += static_cast<char>(crc8(reinterpret_cast<const uint8_t*>(expected.data()), 7));
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8), expected);
}

struct TReplyFrameCase {
  const char* name;
  TLoggerConfig config;
  std::string reply;  // with its CRC-8 worked out apart from this program
};

void PrintTo(const TReplyFrameCase& c, std::ostream* os) { *os << c.name; }

class LoggerReplyFrame : public ::testing::TestWithParam<TReplyFrameCase> {};

// The logger computes its CRC-8 with the host's own code: only fixed bytes
// show that both are right, not merely alike.
TEST_P(LoggerReplyFrame, CarriesItsKnownChecksum) {
  TRunningLogger sim(GetParam().config);
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8), GetParam().reply);
}

TLoggerConfig flaggingExceptions() {
  TLoggerConfig config;
  config.faults.exceptionBitAlways = true;
  return config;
}

INSTANTIATE_TEST_SUITE_P(
    Identity, LoggerReplyFrame,
    ::testing::Values(TReplyFrameCase{"Application", {}, std::string("\x81\x00\x66\x17\x02\x5C\x00\xEC", 8)},
                      TReplyFrameCase{"Bootloader", bootloaderConfig(),
                                      std::string("\x81\x00\xC8\x02\x03\x00\x00\x55", 8)},
                      TReplyFrameCase{"ExceptionBit", flaggingExceptions(),
                                      std::string("\xA1\x00\x66\x17\x02\x5C\x00\x03", 8)}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LoggerFrames, JumpStartsTheBootloaderWithoutReply) {
  TRunningLogger sim;
  EXPECT_EQ(jumpFrame(), std::string("\x82\x81\x00\xA5\x5A\x00\x00\x09", 8));
  sim.port.send(jumpFrame());
  EXPECT_TRUE(sim.port.staysSilent());
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0xC802);
  EXPECT_EQ(sim.logger.stats().jumps, 1);
  EXPECT_FALSE(sim.logger.stats().inApplication);
}

TEST(LoggerFrames, FramesThatChangeNothing) {
  struct TCase {
    const char* what;
    std::string frame;
  };
  const std::vector<TCase> cases = {
      {"wake-up", wakeUpFrame()},
      {"jump with other parameters", commandFrame(2, {0x81, 0x00, 0xA5, 0x5B, 0x00, 0x00})},
      {"jump with a bad checksum", withChecksum(jumpFrame(), '\x08')},
      {"identity with a bad checksum", withChecksum(identityQuery(), '\xAB')},
      {"unknown command", commandFrame(9)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TRunningLogger sim;
    sim.port.send(c.frame);
    EXPECT_TRUE(sim.port.staysSilent());
    EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x6617);
    EXPECT_EQ(sim.logger.stats().exchanges, 2);
  }
}

TEST(LoggerFrames, JumpInTheBootloaderIsHarmless) {
  TRunningLogger sim(bootloaderConfig());
  sim.port.send(jumpFrame());
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0xC802);
}

TEST(LoggerFrames, ApplicationIgnoresBootloaderRecords) {
  TRunningLogger sim;
  EXPECT_EQ(sim.port.exchange(commandRecord(0, 0x20), 23, 200ms), "");
  EXPECT_EQ(sim.logger.stats().exchanges, 1);
}

}  // namespace
}  // namespace kelvry::sim::test
