// The worker frame: port ownership, wake-ups, progress and the one final
// notification, always posted after the port is closed.

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/final_notification.h"
#include "engine/tarvo_exception.h"
#include "serial/platform_transport.h"
#include "tests/engine/job_fixture.h"
#include "tests/engine/missing_port.h"
#include "tests/engine/port_checking_sink.h"
#include "tests/support/memory_link.h"

namespace kelvry::test {
namespace {

TEST(FinalNotification, MapsHowTheJobEnded) {
  struct Case {
    std::exception_ptr failure;
    TCmd cmd;
    TNotification expected;
  };
  const Case cases[] = {
      {nullptr, TCmd::tCMD_TEST, {ntf::JobDone, 3}},
      {std::make_exception_ptr(ETarvo(err::NoReply)), TCmd::tCMD_TEST, {ntf::CommFailure, 3}},
      {std::make_exception_ptr(ETarvo(err::ProgrammingError)), TCmd::tCMD0, {ntf::JobFailed, 44}},
      {std::make_exception_ptr(ETarvo(err::SerialIo, "ReadFile")), TCmd::tCMD0, {ntf::JobFailed, 11}},
      {std::make_exception_ptr(std::overflow_error("divide")), TCmd::tCMD0, {ntf::JobFailed, 0}},
      {std::make_exception_ptr(42), TCmd::tCMD0, {ntf::JobFailed, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(finalNotification(c.failure, c.cmd), c.expected);
}

using WorkerTest = JobTest;

TEST_F(WorkerTest, MissingPortEndsWithPortErrorOnlyAndKeepsTheReason) {
  TUpdateRequest missing = request();
  missing.sPort = missingPort().name;
  auto worker = startCommThread(sink, missing, {.makeTransport = makePlatformTransport});  // the real serial port
  ASSERT_TRUE(sink.waitForFinal());
  worker->waitFor();
  EXPECT_EQ(sink.all(), (std::vector<TNotification>{{ntf::JobFailed, err::PortNotReady}}));
  EXPECT_EQ(worker->result().errorCode, err::PortNotReady);
  EXPECT_EQ(worker->result().serialFailure.errorNumber, missingPort().errorNumber);
  EXPECT_EQ(worker->result().serialFailure.operation, missingPort().operation);
}

TEST_F(WorkerTest, FileStaysTheChosenSourceUntilTheJobChooses) {
  useFileSource({dataRecord(0x0200), dataRecord(kVectorBlock), kEndOfFile});
  TUpdateRequest missing = request();
  missing.sPort = missingPort().name;
  auto worker = startCommThread(sink, missing, {.makeTransport = makePlatformTransport});
  ASSERT_TRUE(sink.waitForFinal());
  worker->waitFor();
  EXPECT_EQ(worker->result().selectedSource, 0);

  sim::TLoggerConfig otherPrint = bootloaderLogger();
  otherPrint.identity.print = 1;
  sim::TMemoryLogger logger(otherPrint);
  TJobSink second;
  runJob(logger, second);
  EXPECT_EQ(second.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
  EXPECT_EQ(selectedSource, -1);
}

TEST_F(WorkerTest, TwoWakeUpsComeFirstAndACommunicationFailureCarriesTheCommand) {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 3;  // the logger hears the wake-ups, then falls silent
  sim::TMemoryLogger logger(config);
  const auto notes = runJob(logger, TCmd::tCMD_TEST);
  EXPECT_EQ(notes, (std::vector<TNotification>{{ntf::CommFailure, 3}}));
  EXPECT_EQ(logger.stats().exchanges, 2 + 5);
  EXPECT_EQ(logger.stats().identityQueries, 5);
  // Two 100 ms pauses after the wake-ups, then 5 attempts of 208 ms, 100 ms apart.
  EXPECT_EQ(clock.elapsed(), 200ms + 5 * 208ms + 4 * 100ms);
}

TEST_F(WorkerTest, PortIsClosedBeforeTheFinalNotificationHoweverTheJobEnds) {
  struct Ending {
    const char* what;
    sim::TLoggerConfig config;
    TNotification final;
  };
  sim::TLoggerConfig updates = bootloaderLogger();
  updates.extraImages.push_back({dataRecord(0x0200), dataRecord(kVectorBlock)});
  sim::TLoggerConfig otherPrint = bootloaderLogger();
  otherPrint.identity.print = 1;
  sim::TLoggerConfig silent;
  silent.faults.silentFrom = 3;
  sim::TLoggerConfig hangsUp;
  hangsUp.faults.hangUpAt = 3;
  const Ending endings[] = {
      {"success", updates, {ntf::JobDone, 0}},
      {"no image", otherPrint, {ntf::JobFailed, err::NoMatchingSource}},
      {"silent", silent, {ntf::CommFailure, 0}},
      {"hang-up", hangsUp, {ntf::JobFailed, err::SerialIo}},
  };
  useFileSource({dataRecord(0x0200), dataRecord(kVectorBlock), kEndOfFile});
  for (const Ending& ending : endings) {
    sim::TMemoryLogger logger(ending.config);
    TPortCheckingSink checking([&] { return !logger.isOpen(); });
    bCheckClass = ending.final.value != err::NoMatchingSource;
    runJob(logger, checking);
    EXPECT_EQ(checking.last(), ending.final) << ending.what;
    EXPECT_TRUE(checking.freeAtFinal) << ending.what;
  }
}

// A serial line whose writes fail with something that is no ETarvo.
class TThrowingTransport final : public ISerialTransport {
public:
  bool open(const std::string&, int32_t) override { return isOpen = true; }
  void close() override { isOpen = false; }
  bool clearErrors() override { return true; }
  bool discardInput() override { return true; }
  bool write(const uint8_t*, size_t, size_t&) override { throw std::runtime_error("arithmetic fault"); }
  bool read(uint8_t*, size_t, size_t&, std::chrono::milliseconds) override { return true; }
  const TSerialFailure& lastFailure() const override { return failure; }
  static inline bool isOpen = false;
  TSerialFailure failure;
};

TEST_F(WorkerTest, ForeignFailureEndsWithZeroAndThePortClosed) {
  const TJobEnvironment throwing{
      .makeTransport = [](const TCancelToken&) { return std::make_unique<TThrowingTransport>(); },
      .clock = &clock};
  auto worker = startCommThread(sink, request(), throwing);
  ASSERT_TRUE(sink.waitForFinal());
  EXPECT_EQ(sink.all(), (std::vector<TNotification>{{ntf::JobFailed, 0}}));
  EXPECT_FALSE(TThrowingTransport::isOpen);
}

TEST_F(WorkerTest, LineGoneMidJobEndsWithTheReadFailureInTheResult) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.hangUpAt = 5;
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(result.errorCode, err::SerialIo);
  EXPECT_EQ(result.serialFailure.operation, "read");
  EXPECT_EQ(result.serialFailure.reason, "Input/output error");
  EXPECT_FALSE(result.lineIndex);
}

TEST_F(WorkerTest, CancelBeforeTheWakeUpsEndsWithCancelled) {
  sim::TMemoryLogger logger;
  bCancel->cancel();
  EXPECT_EQ(runJob(logger), (std::vector<TNotification>{{ntf::JobFailed, err::Cancelled}}));
  EXPECT_EQ(logger.stats().exchanges, 0);
}

TEST(JobProgress, IsPostedOnlyWhenThePercentChanges) {
  TMemoryLink line;
  TUpdateRequest request;
  TRecordingSink sink;
  std::atomic<int32_t> selected{-1};
  TBrisolcCommThread job(request, line.link, sink, selected);
  job.resetProgress();
  job.setProgress(0, 100);     // 0: equal to the reset value, not posted
  job.setProgress(1, 100);     // 0 again
  job.setProgress(50, 100);    // 49
  job.setProgress(50, 100);    // unchanged
  job.setProgress(100, 100);   // 99
  job.setProgress(500, 100);   // clamped to 99, unchanged
  job.setProgress(1, 0);       // count 0 gives 0
  job.setProgress(1, 0);       // unchanged
  job.setProgress(-5, 10);     // clamped to 0, unchanged
  job.setProgress(2272, 2273); // 98
  job.resetProgress();
  job.setProgress(0, 10);      // 0 after a reset: not posted
  job.setProgress(0x7FFFFFFF, 0x7FFFFFFF);  // no overflow: 99
  EXPECT_EQ(sink.valuesOf(ntf::Progress), (std::vector<int32_t>{49, 99, 0, 98, 99}));
}

}  // namespace
}  // namespace kelvry::test
