// Injected faults, as the program under test sees them on the line.

#include <gtest/gtest.h>

#include <chrono>

#include "tests/tools/running_logger.h"

namespace kelvry::sim::test {
namespace {

TLoggerConfig withFaultAt(TLoggerConfig config, int exchange, TReplyFault fault) {
  config.faults.replyFaultAt[exchange] = fault;
  return config;
}

// Positions in which two equally long texts differ.
std::vector<size_t> differences(const std::string& a, const std::string& b) {
  std::vector<size_t> at;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    if (a[i] != b[i]) at.push_back(i);
  }
  return at;
}

struct TFrameFaultCase {
  const char* name;
  TReplyFault fault;
  size_t length;
  bool checksumRight;
  bool exceptionBit;
  bool classChanged;
};

class FrameFaults : public ::testing::TestWithParam<TFrameFaultCase> {};

TEST_P(FrameFaults, AlterOnlyTheReplyOfTheirExchange) {
  const TFrameFaultCase& c = GetParam();
  TRunningLogger sim(withFaultAt({}, 2, c.fault));
  sim.port.send(wakeUpFrame());  // exchange 1

  const std::string faulted = sim.port.exchange(identityQuery(), 8, 300ms);
  ASSERT_EQ(faulted.size(), c.length);
  if (c.length == 8) {
    const TIdentity id = decodeIdentity(faulted);
    EXPECT_EQ(id.checksumRight, c.checksumRight);
    EXPECT_EQ((id.status & 0x20) != 0, c.exceptionBit);
    EXPECT_EQ(id.cls != 0x6617, c.classChanged);
  }
  EXPECT_TRUE(sim.port.staysSilent(50ms));

  const TIdentity next = decodeIdentity(sim.port.exchange(identityQuery(), 8));
  EXPECT_TRUE(next.checksumRight);
  EXPECT_EQ(next.status, 0x81);
  EXPECT_EQ(next.cls, 0x6617);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FrameFaults,
    ::testing::Values(TFrameFaultCase{"Drop", TReplyFault::Drop, 0, false, false, false},
                      TFrameFaultCase{"Truncate", TReplyFault::Truncate, 7, false, false, false},
                      TFrameFaultCase{"BadChecksum", TReplyFault::BadChecksum, 8, false, false, false},
                      TFrameFaultCase{"ExceptionBit", TReplyFault::ExceptionBit, 8, true, true, false},
                      TFrameFaultCase{"ExceptionBitBadChecksum", TReplyFault::ExceptionBitBadChecksum, 8, false, true,
                                      false},
                      TFrameFaultCase{"CorruptChar", TReplyFault::CorruptChar, 8, true, false, true}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct TRecordFaultCase {
  const char* name;
  TReplyFault fault;
  std::function<void(const std::string& faulted, const std::string& normal)> check;
};

class RecordFaults : public ::testing::TestWithParam<TRecordFaultCase> {};

TEST_P(RecordFaults, AlterTheInfoReply) {
  TRunningLogger reference(bootloaderConfig());
  const std::string normal = reference.port.exchange(":0100000520DA", 23);
  ASSERT_EQ(normal.size(), 23u);

  TRunningLogger sim(withFaultAt(bootloaderConfig(), 1, GetParam().fault));
  const std::string faulted = sim.port.exchange(":0100000520DA", 23, 300ms);
  GetParam().check(faulted, normal);
  EXPECT_EQ(sim.port.exchange(":0100000520DA", 23), normal);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RecordFaults,
    ::testing::Values(
        TRecordFaultCase{"Drop", TReplyFault::Drop,
                         [](const std::string& f, const std::string&) { EXPECT_EQ(f, ""); }},
        TRecordFaultCase{"Truncate", TReplyFault::Truncate,
                         [](const std::string& f, const std::string& n) { EXPECT_EQ(f, n.substr(0, 22)); }},
        TRecordFaultCase{"BadChecksum", TReplyFault::BadChecksum,
                         [](const std::string& f, const std::string& n) {
                           EXPECT_EQ(f.substr(0, 21), n.substr(0, 21));
                           EXPECT_NE(f, n);
                           EXPECT_TRUE(recordData(f).empty());  // does not parse
                         }},
        TRecordFaultCase{"CorruptChar", TReplyFault::CorruptChar,
                         [](const std::string& f, const std::string& n) {
                           ASSERT_EQ(f.size(), n.size());
                           EXPECT_EQ(recordData(f).size(), 6u);  // passes the link's checks
                           const std::vector<size_t> at = differences(f, n);
                           ASSERT_FALSE(at.empty());
                           EXPECT_GE(at.front(), 9u);   // a data character...
                           EXPECT_LT(at.front(), 21u);
                           EXPECT_EQ(differences(f.substr(0, 21), n.substr(0, 21)).size(), 1u);  // ...only one
                         }},
        TRecordFaultCase{"FrameOnlyFaultLeavesRecords", TReplyFault::ExceptionBit,
                         [](const std::string& f, const std::string& n) { EXPECT_EQ(f, n); }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

class CorruptEcho : public ::testing::TestWithParam<bool> {};

TEST_P(CorruptEcho, OfOneLineOnceOrAlways) {
  const bool always = GetParam();
  TLoggerConfig config = bootloaderConfig();
  config.faults.corruptEchoOfLine = 1;
  config.faults.corruptEchoAlways = always;
  TRunningLogger sim(config);
  const std::vector<std::string> all = imageLines(2);
  const std::vector<std::string> lines(all.begin(), all.begin() + 3);

  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    sim.port.exchange(commandRecord(0, 0x31), 13);
    std::vector<std::string> echoes;
    for (const std::string& line : lines) echoes.push_back(sim.port.exchange(line, 139));
    EXPECT_EQ(echoes[0], lines[0]);
    EXPECT_EQ(echoes[2], lines[2]);
    if (pass == 0 || always) {
      ASSERT_EQ(echoes[1].size(), 139u);
      EXPECT_EQ(recordData(echoes[1]).size(), 64u);
      EXPECT_EQ(differences(echoes[1].substr(0, 137), lines[1].substr(0, 137)).size(), 1u);
      // The flash holds what the echo showed.
      const std::string readBack = sim.port.exchange(commandRecord(sim.logger.stats().programOrder[1], 0x30), 139);
      EXPECT_EQ(recordData(readBack), recordData(echoes[1]));
    } else {
      EXPECT_EQ(echoes[1], lines[1]);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, CorruptEcho, ::testing::Values(false, true),
                         [](const auto& testCase) { return std::string(testCase.param ? "Always" : "Once"); });

// The bytes of a record line, checksum included, read without the codec.
std::vector<uint8_t> bytesOf(const std::string& line) {
  std::vector<uint8_t> bytes;
  for (size_t i = 1; i + 1 < line.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(line.substr(i, 2), nullptr, 16)));
  return bytes;
}

bool sumsToZero(const std::vector<uint8_t>& bytes) {
  uint8_t sum = 0;
  for (const uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
  return sum == 0;
}

struct TEchoPartCase {
  const char* name;
  TEchoPart part;
  size_t from, to;  // the characters before the line's checksum that may differ, and some do
  bool sameChecksum;
  size_t echoLength;
  bool programmed;  // the flash holds the echo; else the line was not taken as data
};

void PrintTo(const TEchoPartCase& c, std::ostream* os) { *os << c.name; }

class CorruptEchoPart : public ::testing::TestWithParam<TEchoPartCase> {};

TEST_P(CorruptEchoPart, ChangesOnePartAndKeepsTheChecksumRight) {
  const TEchoPartCase& c = GetParam();
  TLoggerConfig config = bootloaderConfig();
  config.faults.corruptEchoOfLine = 0;
  config.faults.corruptEchoPart = c.part;
  TRunningLogger sim(config);
  const std::string line = imageLines(2).front();
  sim.port.exchange(commandRecord(0, 0x31), 13);

  const std::string echo = sim.port.exchange(line, c.echoLength);
  ASSERT_EQ(echo.size(), c.echoLength);
  const std::vector<uint8_t> bytes = bytesOf(echo);
  EXPECT_EQ(bytes.size(), bytes.front() + 5u);  // a well-formed line: its count fits its length
  EXPECT_TRUE(sumsToZero(bytes));
  // What the host reads, as many characters as it sent, passes as a record.
  EXPECT_TRUE(sumsToZero(bytesOf(echo.substr(0, line.size()))));
  const std::vector<size_t> at = differences(echo.substr(0, 137), line.substr(0, 137));
  ASSERT_FALSE(at.empty());
  EXPECT_GE(at.front(), c.from);
  EXPECT_LE(at.back(), c.to);
  EXPECT_EQ(echo.substr(137, 2) == line.substr(137, 2), c.sameChecksum);
  const std::vector<std::string> flash = sim.logger.flashLines();
  ASSERT_EQ(flash.size(), c.programmed ? 2u : 1u);
  if (c.programmed) {
    EXPECT_EQ(flash.front(), echo);
  }
}

// Characters of a data line: 1-2 count, 3-6 address, 7-8 type, 9-136 data.
constexpr size_t kMiddleData = 9 + 2 * 32;
constexpr size_t kLastData = 9 + 2 * 63;

INSTANTIATE_TEST_SUITE_P(
    Parts, CorruptEchoPart,
    ::testing::Values(TEchoPartCase{"FirstDataByte", TEchoPart::FirstDataByte, 9, 9, false, 139, true},
                      TEchoPartCase{"MiddleDataByte", TEchoPart::MiddleDataByte, kMiddleData, kMiddleData, false, 139,
                                    true},
                      TEchoPartCase{"LastDataByte", TEchoPart::LastDataByte, kLastData, kLastData, false, 139, true},
                      TEchoPartCase{"Address", TEchoPart::Address, 3, 6, true, 139, true},
                      TEchoPartCase{"Type", TEchoPart::Type, 8, 8, false, 139, false},
                      TEchoPartCase{"Length", TEchoPart::Length, 2, 2, false, 141, false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LoggerFaults, SilentLoggerStillActsOnMessages) {
  TLoggerConfig config;
  config.faults.silentFrom = 3;
  TRunningLogger sim(config);
  sim.port.send(wakeUpFrame());                                   // 1
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8).size(), 8u);     // 2
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8, 200ms), "");    // 3
  sim.port.send(jumpFrame());                                     // 4
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8, 200ms), "");    // 5
  EXPECT_FALSE(sim.logger.stats().inApplication);
  EXPECT_EQ(sim.logger.stats().exchanges, 5);
}

TEST(LoggerFaults, HangUpAtAnExchange) {
  TLoggerConfig config;
  config.faults.hangUpAt = 2;
  TRunningLogger sim(config);
  sim.port.send(wakeUpFrame());
  EXPECT_FALSE(sim.port.seesHangUp(100ms));
  sim.port.send(identityQuery());
  EXPECT_TRUE(sim.port.seesHangUp());
  EXPECT_TRUE(sim.logger.stats().hungUp);
  EXPECT_EQ(sim.logger.stats().identityQueries, 0);
}

TEST(LoggerFaults, ExceptionBitOnEveryFrameReply) {
  TLoggerConfig config;
  config.faults.exceptionBitAlways = true;
  TRunningLogger sim(config);
  for (int i = 0; i < 2; ++i) {
    const TIdentity id = decodeIdentity(sim.port.exchange(identityQuery(), 8));
    EXPECT_TRUE(id.checksumRight);
    EXPECT_EQ(id.status & 0x20, 0x20);
  }
}

TEST(LoggerFaults, WrongClassOnlyAfterTheStart) {
  TLoggerConfig config;
  config.faults.wrongClassAfterStart = 0x4242;
  TRunningLogger sim(config);
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x6617);
  sim.port.send(jumpFrame());
  programAndStart(sim.port, imageLines(4));
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x4242);
  EXPECT_TRUE(sim.logger.stats().inApplication);
}

TEST(LoggerFaults, ApplicationThatIgnoresTheJump) {
  TLoggerConfig config;
  config.faults.stayInApplication = true;
  TRunningLogger sim(config);
  sim.port.send(jumpFrame());
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x6617);
  EXPECT_EQ(sim.logger.stats().jumps, 1);
}

struct TWireCase {
  const char* name;
  int baud;
  bool bootloader;
  std::string request;
  size_t replyLength;
};

class WireTime : public ::testing::TestWithParam<TWireCase> {};

TEST_P(WireTime, ExchangeLastsAsOnARealLine) {
  const TWireCase& c = GetParam();
  TLoggerConfig config;
  config.identity.startInBootloader = c.bootloader;
  config.faults.baud = c.baud;
  TRunningLogger sim(config);
  const auto expected = std::chrono::microseconds((c.request.size() + c.replyLength) * 10 * 1'000'000 / c.baud);

  const auto begin = std::chrono::steady_clock::now();
  const std::string reply = sim.port.exchange(c.request, c.replyLength, 3000ms);
  const auto took = std::chrono::steady_clock::now() - begin;

  EXPECT_EQ(reply.size(), c.replyLength);
  EXPECT_GE(took, expected * 9 / 10);
  EXPECT_LT(took, expected + 1000ms);
}

INSTANTIATE_TEST_SUITE_P(
    Rates, WireTime,
    ::testing::Values(TWireCase{"Identity9600", 9600, false, identityQuery(), 8},
                      TWireCase{"Identity1200", 1200, false, identityQuery(), 8},
                      TWireCase{"UpdateIdBlock9600", 9600, true, ":01006005306A", 139}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(WireTimePacing, ReplyArrivesByteByByte) {
  TLoggerConfig config = bootloaderConfig();
  config.faults.baud = 1200;  // 23 reply characters take about 190 ms
  TRunningLogger sim(config);
  sim.port.send(":0100000520DA");
  const std::string early = sim.port.receive(23, 200ms);  // the request alone takes about 108 ms
  EXPECT_LT(early.size(), 23u);
  const std::string rest = sim.port.receive(23 - early.size(), 2000ms);
  EXPECT_EQ((early + rest).size(), 23u);
}

}  // namespace
}  // namespace kelvry::sim::test
