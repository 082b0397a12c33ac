// The worker frame: port ownership, wake-ups, progress and the one final
// notification, always posted after the port is closed.

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <stdexcept>

#include "engine/comm_thread.h"
#include "engine/final_notification.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"
#include "tests/support/recording_sink.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using test::TRecordingSink;

class TScriptedWorker : public TCommThread {
public:
  using TCommThread::TCommThread;
  using TCommThread::resetProgress;
  using TCommThread::setProgress;
  static inline std::function<void(TScriptedWorker&)> script;

protected:
  void doJob() override {
    if (script) script(*this);
  }
};

class WorkerTest : public ::testing::Test {
protected:
  void SetUp() override { bCancel = false; }
  void TearDown() override { TScriptedWorker::script = nullptr; }

  std::vector<TNotification> run(const std::string& port, TCmd cmd = TCmd::tCMD0) {
    auto worker = createCommThread<TScriptedWorker>(sink, cmd, port);
    EXPECT_TRUE(sink.waitForFinal());
    worker.reset();
    return sink.all();
  }

  TRecordingSink sink;
};

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

TEST_F(WorkerTest, MissingPortEndsWithPortErrorOnlyAndKeepsTheReason) {
  auto worker = createCommThread<TScriptedWorker>(sink, TCmd::tCMD0, "/dev/kelvry-no-such-port");
  ASSERT_TRUE(sink.waitForFinal());
  worker->waitFor();
  EXPECT_EQ(sink.all(), (std::vector<TNotification>{{ntf::JobFailed, err::PortNotReady}}));
  EXPECT_EQ(worker->portOpenError().errorNumber, ENOENT);
}

TEST_F(WorkerTest, NormalEndCarriesTheCommandAndSendsTwoWakeUps) {
  sim::TPtyLogger logger;
  const auto started = std::chrono::steady_clock::now();
  const auto notes = run(logger.portPath(), TCmd::tCMD_TEST);
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(190));
  EXPECT_EQ(notes, (std::vector<TNotification>{{ntf::JobDone, 3}}));
  EXPECT_EQ(logger.stats().exchanges, 2);
}

// Opens the port the moment the final notification is posted: the port is
// held exclusively, so this fails if the worker still holds it.
class TReopeningSink : public TRecordingSink {
public:
  explicit TReopeningSink(std::string port) : port_(std::move(port)) {}
  void post(uint32_t code, int32_t value) noexcept override {
    if (isFinal(code)) {
      const TPortHandle again = openComPort(port_, 9600);
      reopened = again != INVALID_PORT_HANDLE;
      closeComPort(again);
    }
    TRecordingSink::post(code, value);
  }
  std::atomic<bool> reopened{false};

private:
  std::string port_;
};

TEST_F(WorkerTest, PortIsClosedBeforeTheFinalNotification) {
  sim::TPtyLogger logger;
  const std::function<void(TScriptedWorker&)> endings[] = {
      [](TScriptedWorker&) {},
      [](TScriptedWorker&) { throw ETarvo(err::ProgrammingError); },
      [](TScriptedWorker&) { throw std::runtime_error("foreign"); },
  };
  for (const auto& ending : endings) {
    TReopeningSink reopening(logger.portPath());
    TScriptedWorker::script = ending;
    auto worker = createCommThread<TScriptedWorker>(reopening, TCmd::tCMD0, logger.portPath());
    ASSERT_TRUE(reopening.waitForFinal());
    EXPECT_TRUE(reopening.reopened);
  }
}

TEST_F(WorkerTest, ForeignFailureEndsWithZero) {
  sim::TPtyLogger logger;
  TScriptedWorker::script = [](TScriptedWorker&) { throw std::runtime_error("arithmetic fault"); };
  EXPECT_EQ(run(logger.portPath()).back(), (TNotification{ntf::JobFailed, 0}));
  const TPortHandle again = openComPort(logger.portPath(), 9600);
  EXPECT_NE(again, INVALID_PORT_HANDLE);
  closeComPort(again);
}

TEST_F(WorkerTest, CancelBeforeTheWakeUpsEndsWithCancelled) {
  sim::TPtyLogger logger;
  bCancel = true;
  EXPECT_EQ(run(logger.portPath()), (std::vector<TNotification>{{ntf::JobFailed, err::Cancelled}}));
}

TEST_F(WorkerTest, ProgressIsPostedOnlyWhenThePercentChanges) {
  sim::TPtyLogger logger;
  TScriptedWorker::script = [](TScriptedWorker& w) {
    w.setProgress(0, 100);     // 0: equal to the reset value, not posted
    w.setProgress(1, 100);     // 0 again
    w.setProgress(50, 100);    // 49
    w.setProgress(50, 100);    // unchanged
    w.setProgress(100, 100);   // 99
    w.setProgress(500, 100);   // clamped to 99, unchanged
    w.setProgress(1, 0);       // count 0 gives 0
    w.setProgress(1, 0);       // unchanged
    w.setProgress(-5, 10);     // clamped to 0, unchanged
    w.setProgress(2272, 2273); // 98
    w.resetProgress();
    w.setProgress(0, 10);      // 0 after a reset: not posted
    w.setProgress(0x7FFFFFFF, 0x7FFFFFFF);  // no overflow: 99
  };
  run(logger.portPath());
  EXPECT_EQ(sink.valuesOf(ntf::Progress), (std::vector<int32_t>{49, 99, 0, 98, 99}));
}

}  // namespace
}  // namespace kelvry
