// The logger link against the virtual logger on a pseudo-terminal: frames,
// records, retries, cancel and the failure table.

#include <gtest/gtest.h>

#include <functional>

#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"
#include "tests/support/recording_sink.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;
using sim::TReplyFault;
using test::TRecordingSink;

// A worker whose job is a script of link calls written by the test.
class TLinkProbe : public TCommThread {
public:
  using TCommThread::TCommThread;
  using TCommThread::FRxBuffer;
  using TCommThread::FRxCnt;
  using TCommThread::getReplyText;
  using TCommThread::sendCommand;
  using TCommThread::sendRecord;
  using TCommThread::sendRecordRetry;
  using TCommThread::setProgress;
  using TCommThread::calculateCRC16;

  static inline std::function<void(TLinkProbe&)> script;

protected:
  void doJob() override { script(*this); }
};

// The two wake-up frames of every job are exchanges 1 and 2.
constexpr int kFirstJobExchange = 3;

class LinkTest : public ::testing::Test {
protected:
  void SetUp() override { bCancel = false; }
  void TearDown() override { TLinkProbe::script = nullptr; }

  TNotification run(sim::TPtyLogger& logger, std::function<void(TLinkProbe&)> script,
                    TCmd cmd = TCmd::tCMD0) {
    TLinkProbe::script = std::move(script);
    auto worker = createCommThread<TLinkProbe>(sink, cmd, logger.portPath());
    EXPECT_TRUE(sink.waitForFinal());
    worker.reset();
    return sink.last();
  }

  static sim::TLoggerConfig inBootloaderWith(std::map<int, TReplyFault> faults = {}) {
    sim::TLoggerConfig config;
    config.identity.startInBootloader = true;
    config.faults.replyFaultAt = std::move(faults);
    return config;
  }

  TRecordingSink sink;
};

TEST_F(LinkTest, IdentityFrameRepliesBigEndianClassAndVersion) {
  sim::TPtyLogger logger;
  uint16_t classWord = 0;
  const auto final = run(logger, [&](TLinkProbe& link) {
    EXPECT_TRUE(link.sendCommand(true, 1));
    classWord = static_cast<uint16_t>(link.FRxBuffer[2] << 8 | link.FRxBuffer[3]);
  });
  EXPECT_EQ(final, (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(classWord, 0x6617);
  EXPECT_EQ(logger.stats().identityQueries, 1);
}

struct FrameFailureCase {
  const char* name;
  TReplyFault fault;
  int32_t expectedError;  // 0: the retry succeeds
  int expectedQueries;
};

void PrintTo(const FrameFailureCase& c, std::ostream* os) { *os << c.name; }

class FrameFailureTest : public LinkTest, public ::testing::WithParamInterface<FrameFailureCase> {};

TEST_P(FrameFailureTest, FirstReplyFaultIsRetriedOrRaised) {
  const auto& c = GetParam();
  sim::TPtyLogger logger(inBootloaderWith({{kFirstJobExchange, c.fault}}));
  const auto final = run(logger, [](TLinkProbe& link) { link.sendCommand(true, 1); });
  if (c.expectedError == 0)
    EXPECT_EQ(final, (TNotification{ntf::JobDone, 0}));
  else
    EXPECT_EQ(final, (TNotification{ntf::JobFailed, c.expectedError}));
  EXPECT_EQ(logger.stats().identityQueries, c.expectedQueries);
}

INSTANTIATE_TEST_SUITE_P(
    Link, FrameFailureTest,
    ::testing::Values(FrameFailureCase{"NoReply", TReplyFault::Drop, 0, 2},
                      FrameFailureCase{"ShortReply", TReplyFault::Truncate, 0, 2},
                      FrameFailureCase{"BadChecksum", TReplyFault::BadChecksum, 0, 2},
                      FrameFailureCase{"ExceptionBitWithBadChecksum", TReplyFault::ExceptionBitBadChecksum, 0, 2},
                      FrameFailureCase{"ExceptionBit", TReplyFault::ExceptionBit, err::LoggerException, 1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(LinkTest, FiveFailedFrameAttemptsEndInCommunicationFailureWithTheCommand) {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.silentFrom = kFirstJobExchange;
  sim::TPtyLogger logger(config);
  const auto started = std::chrono::steady_clock::now();
  const auto final = run(logger, [](TLinkProbe& link) { link.sendCommand(true, 1); }, TCmd::tCMD_TEST);
  const auto elapsed = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(final, (TNotification{ntf::CommFailure, 3}));
  EXPECT_EQ(logger.stats().identityQueries, 5);
  // 5 read time-outs of ~208 ms and 4 pauses of 100 ms, plus the wake-ups.
  EXPECT_GT(elapsed, 1300ms);
  EXPECT_LT(elapsed, 5000ms);
}

TEST_F(LinkTest, CancelBeforeTheFirstAttemptSendsNothing) {
  sim::TPtyLogger logger(inBootloaderWith());
  bCancel = true;
  const auto final = run(logger, [](TLinkProbe& link) { link.sendCommand(true, 1); });
  EXPECT_EQ(final, (TNotification{ntf::JobFailed, err::Cancelled}));
  EXPECT_EQ(sink.all().size(), 1u);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(logger.stats().exchanges, 0);
}

TEST_F(LinkTest, CancelDuringRetriesStopsAtTheNextAttempt) {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.silentFrom = kFirstJobExchange;
  sim::TPtyLogger logger(config);
  std::thread canceller([] {
    std::this_thread::sleep_for(400ms);
    bCancel = true;
  });
  const auto final = run(logger, [](TLinkProbe& link) { link.sendRecordRetry(":0100000520DA", 6, true); });
  canceller.join();
  EXPECT_EQ(final, (TNotification{ntf::JobFailed, err::Cancelled}));
  EXPECT_LT(logger.stats().exchanges, 2 + 5);
}

TEST_F(LinkTest, RecordWithoutReplyNeverReads) {
  sim::TPtyLogger logger(inBootloaderWith());
  std::string reply = "untouched";
  int32_t rxCnt = -1;
  bool ok = false;
  run(logger, [&](TLinkProbe& link) {
    ok = link.sendRecord(":0100000520DA", 0);  // an info request, but no reply is awaited
    rxCnt = link.FRxCnt;
    link.getReplyText(reply);
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(rxCnt, 0);
  EXPECT_EQ(reply, "");
}

TEST_F(LinkTest, RecordReplyIsTheWholeReceivedLine) {
  sim::TPtyLogger logger(inBootloaderWith());
  std::string reply;
  run(logger, [&](TLinkProbe& link) {
    EXPECT_TRUE(link.sendRecordRetry(":0100000520DA", 6, false));
    link.getReplyText(reply);
  });
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

class RecordFailureTest : public LinkTest, public ::testing::WithParamInterface<RecordFailureCase> {};

TEST_P(RecordFailureTest, FailedAttemptIsRetried) {
  sim::TPtyLogger logger(inBootloaderWith({{kFirstJobExchange, GetParam().fault}}));
  bool ok = false;
  run(logger, [&](TLinkProbe& link) { ok = link.sendRecordRetry(":0100000520DA", 6, false); });
  EXPECT_TRUE(ok);
  EXPECT_EQ(logger.stats().exchanges, kFirstJobExchange + 1);
}

INSTANTIATE_TEST_SUITE_P(Link, RecordFailureTest,
                         ::testing::Values(RecordFailureCase{"NoReply", TReplyFault::Drop},
                                           RecordFailureCase{"OneCharacterShort", TReplyFault::Truncate},
                                           RecordFailureCase{"BadChecksum", TReplyFault::BadChecksum}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(LinkTest, OneCharacterShortFailsEvenWithARightChecksumInWhatArrived) {
  // Dropping the last character of ":0100000530CA"-style replies leaves a
  // line whose leading pairs may still sum right; the length alone fails it.
  sim::TLoggerConfig config = inBootloaderWith();
  for (int k = kFirstJobExchange; k < kFirstJobExchange + 5; ++k) config.faults.replyFaultAt[k] = TReplyFault::Truncate;
  sim::TPtyLogger logger(config);
  bool ok = true;
  run(logger, [&](TLinkProbe& link) { ok = link.sendRecordRetry(":0100000531C9", 1, false); });
  EXPECT_FALSE(ok);
  EXPECT_EQ(logger.stats().erases, 5);
}

TEST_F(LinkTest, RecordRetriesExhaustedRaiseOnlyWhenAsked) {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.silentFrom = kFirstJobExchange;
  sim::TPtyLogger quiet(config);
  bool ok = true;
  EXPECT_EQ(run(quiet, [&](TLinkProbe& link) { ok = link.sendRecordRetry(":0100000520DA", 6, false); }),
            (TNotification{ntf::JobDone, 0}));
  EXPECT_FALSE(ok);

  TRecordingSink second;
  sim::TPtyLogger quietAgain(config);
  TLinkProbe::script = [](TLinkProbe& link) { link.sendRecordRetry(":0100000520DA", 6, true); };
  auto worker = createCommThread<TLinkProbe>(second, TCmd::tCMD0, quietAgain.portPath());
  ASSERT_TRUE(second.waitForFinal());
  EXPECT_EQ(second.last(), (TNotification{ntf::CommFailure, 0}));
}

TEST_F(LinkTest, HangUpIsASerialError) {
  sim::TLoggerConfig config = inBootloaderWith();
  config.faults.hangUpAt = kFirstJobExchange;
  sim::TPtyLogger logger(config);
  const auto final = run(logger, [](TLinkProbe& link) { link.sendCommand(true, 1); });
  EXPECT_EQ(final, (TNotification{ntf::JobFailed, err::SerialIo}));
}

TEST_F(LinkTest, UpdateIdCrcIsModbusCrcOfTheLittleEndianWords) {
  sim::TPtyLogger logger(inBootloaderWith());
  uint16_t crc = 0;
  run(logger, [&](TLinkProbe& link) { crc = link.calculateCRC16(0x3231, 0x3433, 0x3635, 0x3837, 0x3039); });
  // The words lay out as the ASCII text "1234567890".
  EXPECT_EQ(crc, 0xC20A);
}

}  // namespace
}  // namespace kelvry
