// The logger link against the virtual logger in memory, in virtual time:
// frames, records, retries, cancel and the failure table.

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "engine/checksums.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"
#include "tests/support/memory_link.h"
#include "tests/support/test_sources.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;
using sim::TReplyFault;
using test::errorOf;
using test::TMemoryLink;

sim::TLoggerConfig inBootloaderWith(std::map<int, TReplyFault> faults = {}) {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  config.faults.replyFaultAt = std::move(faults);
  return config;
}

sim::TLoggerConfig silentBootloader() {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.silentFrom = 1;
  return config;
}

TEST(Link, IdentityFrameRepliesBigEndianClassAndVersion) {
  TMemoryLink line;
  EXPECT_TRUE(line.link.sendCommand(true, 1));
  EXPECT_EQ(makeWord(line.link.replyFrame()[2], line.link.replyFrame()[3]), 0x6617);
  EXPECT_EQ(line.logger.stats().identityQueries, 1);
}

struct FrameFailureCase {
  const char* name;
  TReplyFault fault;
  int32_t expectedError;  // 0: the retry succeeds
  int expectedQueries;
};

void PrintTo(const FrameFailureCase& c, std::ostream* os) { *os << c.name; }

class FrameFailureTest : public ::testing::TestWithParam<FrameFailureCase> {};

TEST_P(FrameFailureTest, FirstReplyFaultIsRetriedOrRaised) {
  const auto& c = GetParam();
  TMemoryLink line(inBootloaderWith({{1, c.fault}}));
  EXPECT_EQ(errorOf([&] { line.link.sendCommand(true, 1); }), c.expectedError);
  EXPECT_EQ(line.logger.stats().identityQueries, c.expectedQueries);
}

INSTANTIATE_TEST_SUITE_P(
    Link, FrameFailureTest,
    ::testing::Values(FrameFailureCase{"NoReply", TReplyFault::Drop, 0, 2},
                      FrameFailureCase{"ShortReply", TReplyFault::Truncate, 0, 2},
                      FrameFailureCase{"BadChecksum", TReplyFault::BadChecksum, 0, 2},
                      FrameFailureCase{"ExceptionBitWithBadChecksum", TReplyFault::ExceptionBitBadChecksum, 0, 2},
                      FrameFailureCase{"ExceptionBit", TReplyFault::ExceptionBit, err::LoggerException, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Link, FiveFailedFrameAttemptsTakeTheirTimeOutsAndPausesThenRaise30) {
  TMemoryLink line(silentBootloader());
  EXPECT_EQ(errorOf([&] { line.link.sendCommand(true, 1); }), err::NoReply);
  EXPECT_EQ(line.logger.stats().identityQueries, 5);
  // 5 read time-outs of 200 ms + 8 ms and 4 pauses of 100 ms, none after the last.
  EXPECT_EQ(line.clock.elapsed(), 5 * 208ms + 4 * 100ms);
}

TEST(Link, RecordAttemptWaitsTwoHundredMillisecondsAndOnePerCharacter) {
  TMemoryLink line(silentBootloader());
  EXPECT_FALSE(line.link.sendRecord(test::dataRecord(0x0200), 64));
  EXPECT_EQ(line.clock.elapsed(), 200ms + 139ms);
}

TEST(Link, CancelBeforeTheFirstAttemptSendsNothing) {
  TMemoryLink line(inBootloaderWith());
  line.cancel.cancel();
  EXPECT_EQ(errorOf([&] { line.link.sendCommand(true, 1); }), err::Cancelled);
  EXPECT_EQ(errorOf([&] { line.link.sendRecordRetry(":0100000520DA", 6, true); }), err::Cancelled);
  EXPECT_EQ(line.logger.stats().exchanges, 0);
}

TEST(Link, CancelDuringAReadEndsTheExchangeAtOnce) {
  // Real time: the read waits 208 ms for a reply that never comes, and a
  // cancel 50 ms into it must not have to wait for the rest.
  sim::TMemoryLogger logger(silentBootloader());
  TCancelToken cancel;
  auto port = logger.connect(steadyClock(), cancel);
  ASSERT_TRUE(port->open("memory", 9600));
  TCommLink link(*port, steadyClock(), cancel);
  std::thread canceller([&] {
    std::this_thread::sleep_for(50ms);
    cancel.cancel();
  });
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(errorOf([&] { link.sendRecordRetry(":0100000520DA", 6, true); }), err::Cancelled);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  canceller.join();
  EXPECT_EQ(logger.stats().exchanges, 1);
  EXPECT_LT(elapsed, 150ms);
}

TEST(Link, RecordWithoutReplyNeverReads) {
  TMemoryLink line(inBootloaderWith());
  std::string reply = "untouched";
  EXPECT_TRUE(line.link.sendRecord(":0100000520DA", 0));  // an info request, but no reply is awaited
  line.link.getReplyText(reply);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(line.clock.elapsed(), 0ms);
}

TEST(Link, RecordReplyIsTheWholeReceivedLine) {
  TMemoryLink line(inBootloaderWith());
  std::string reply;
  EXPECT_TRUE(line.link.sendRecordRetry(":0100000520DA", 6, false));
  line.link.getReplyText(reply);
  ASSERT_EQ(reply.size(), 23u);
  EXPECT_EQ(reply.substr(0, 3), ":06");
  // platform 15 and print 56, big-endian, right after the record header
  EXPECT_EQ(reply.substr(9, 8), "000F0038");
}

struct RecordFailureCase {
  const char* name;
  TReplyFault fault;
};

void PrintTo(const RecordFailureCase& c, std::ostream* os) { *os << c.name; }

class RecordFailureTest : public ::testing::TestWithParam<RecordFailureCase> {};

TEST_P(RecordFailureTest, FailedAttemptIsRetried) {
  TMemoryLink line(inBootloaderWith({{1, GetParam().fault}}));
  EXPECT_TRUE(line.link.sendRecordRetry(":0100000520DA", 6, false));
  EXPECT_EQ(line.logger.stats().exchanges, 2);
}

INSTANTIATE_TEST_SUITE_P(Link, RecordFailureTest,
                         ::testing::Values(RecordFailureCase{"NoReply", TReplyFault::Drop},
                                           RecordFailureCase{"OneCharacterShort", TReplyFault::Truncate},
                                           RecordFailureCase{"BadChecksum", TReplyFault::BadChecksum}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(Link, OneCharacterShortFailsEvenWithARightChecksumInWhatArrived) {
  // Dropping the last character of ":0100000530CA"-style replies leaves a
  // line whose leading pairs may still sum right; the length alone fails it.
  sim::TLoggerConfig config = inBootloaderWith();
  for (int k = 1; k <= 5; ++k) config.faults.replyFaultAt[k] = TReplyFault::Truncate;
  TMemoryLink line(config);
  EXPECT_FALSE(line.link.sendRecordRetry(":0100000531C9", 1, false));
  EXPECT_EQ(line.logger.stats().erases, 5);
}

TEST(Link, RecordRetriesExhaustedRaiseOnlyWhenAsked) {
  TMemoryLink quiet(silentBootloader());
  bool ok = true;
  EXPECT_EQ(errorOf([&] { ok = quiet.link.sendRecordRetry(":0100000520DA", 6, false); }), 0);
  EXPECT_FALSE(ok);
  EXPECT_EQ(errorOf([&] { quiet.link.sendRecordRetry(":0100000520DA", 6, true); }), err::NoReply);
}

TEST(Link, HangUpIsASerialErrorWithItsReason) {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.hangUpAt = 1;
  TMemoryLink line(config);
  try {
    line.link.sendCommand(true, 1);
    ADD_FAILURE() << "no error";
  } catch (const ETarvo& e) {
    // The reason travels with the error: nobody asks the port afterwards.
    EXPECT_EQ(e.iException, err::SerialIo);
    EXPECT_EQ(e.serialFailure.operation, "read");
    EXPECT_EQ(e.serialFailure.errorNumber, EIO);
    EXPECT_EQ(e.serialFailure.reason, "Input/output error");
  }
}

TEST(Link, CancelEndsAPauseAtOnce) {
  TCancelToken cancel;
  TSteadyClock clock;
  std::thread canceller([&] {
    std::this_thread::sleep_for(30ms);
    cancel.cancel();
  });
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(clock.sleepFor(4000ms, cancel));
  const auto elapsed = std::chrono::steady_clock::now() - started;
  canceller.join();
  EXPECT_LT(elapsed, 30ms + 50ms);
}

// Replies that are no record text fail the attempt, whatever their pairs
// add up to.
struct RecordTextCase {
  const char* text;
  bool isRecord;
};

class RecordText : public ::testing::TestWithParam<RecordTextCase> {};

TEST_P(RecordText, OnlyAColonAndUpperCaseHexDigitsAreARecord) {
  const std::string text = GetParam().text;
  EXPECT_EQ(isRecordText(reinterpret_cast<const uint8_t*>(text.data()), text.size()), GetParam().isRecord) << text;
}

INSTANTIATE_TEST_SUITE_P(Link, RecordText,
                         ::testing::Values(RecordTextCase{":0100000520DA", true},
                                           RecordTextCase{std::string(13, '\0').c_str(), false},
                                           RecordTextCase{"00100000520DA", false},
                                           RecordTextCase{":0100000520da", false},
                                           RecordTextCase{":01000005 0DA", false}, RecordTextCase{"", false}));

TEST(Link, ReplyOfNulBytesIsAFailedAttemptNotAGoodChecksum) {
  // 23 NUL characters decode as zero pairs, whose checksum is right.
  sim::TLoggerConfig config = inBootloaderWith();
  for (int k = 1; k <= 5; ++k) config.faults.replyFaultAt[k] = TReplyFault::Nul;
  TMemoryLink line(config);
  EXPECT_FALSE(line.link.sendRecordRetry(":0100000520DA", 6, false));
  EXPECT_EQ(line.logger.stats().exchanges, 5);
}

TEST(Link, UpdateIdCrcIsModbusCrcOfTheLittleEndianWords) {
  // The words lay out as the ASCII text "1234567890".
  EXPECT_EQ(calculateCRC16(0x3231, 0x3433, 0x3635, 0x3837, 0x3039), 0xC20A);
}

}  // namespace
}  // namespace kelvry
