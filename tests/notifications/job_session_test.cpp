// The job session both front ends run their jobs through: the request each
// worker gets, the cancel tokens across starts and repeats, the pause before
// a repeat.

#include "frontend/job_session.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/recording_sink.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;

// Records the requests instead of starting workers.
class JobSession : public ::testing::Test {
protected:
  JobSession() {
    session.CommThreadClass = [this](INotificationSink&, TUpdateRequest request) {
      cancelledAtStart.push_back(request.cancel->isCancelled());
      requests.push_back(std::move(request));
      return TCommThreadPtr();
    };
  }

  static TUpdateRequest requestFor(const std::string& port) {
    TUpdateRequest request;
    request.sPort = port;
    request.bReadInfoOnly = true;
    return request;
  }

  test::TRecordingSink sink;
  std::shared_ptr<TCancelToken> runCancel = std::make_shared<TCancelToken>();
  TJobSession session{sink, {}, runCancel};
  std::vector<TUpdateRequest> requests;
  std::vector<bool> cancelledAtStart;
};

TEST_F(JobSession, UserStartClearsAnOldCancelAndARepeatKeepsANewOne) {
  session.cancel();
  session.start(requestFor("/dev/ttyUSB0"));
  EXPECT_FALSE(session.cancelled());
  session.cancel();  // pressed while the job ran
  session.repeat(requestFor("/dev/ttyUSB0"));
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(cancelledAtStart, (std::vector<bool>{false, true}));
  EXPECT_EQ(session.repeats(), 1);
}

TEST_F(JobSession, RepeatWithAFreshCancelClearsItAndStillCounts) {
  session.start(requestFor("/dev/ttyUSB0"));
  session.cancel();
  session.repeatWithFreshCancel(requestFor("/dev/ttyUSB0"));
  EXPECT_FALSE(session.cancelled());
  session.repeat(requestFor("/dev/ttyUSB0"));
  EXPECT_EQ(cancelledAtStart, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(session.repeats(), 2) << "the bound on repeats holds across a fresh cancel";
  session.cancel();
  EXPECT_TRUE(requests[2].cancel->isCancelled());
}

TEST_F(JobSession, EveryJobHasATokenOfItsOwnThatTheSessionsCancelReaches) {
  session.start(requestFor("/dev/ttyUSB0"));
  TUpdateRequest again = requestFor("/dev/ttyUSB0");
  again.cmd = TCmd::tCMD_TEST;
  session.repeat(again);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].cmd, TCmd::tCMD_TEST);
  EXPECT_NE(requests[0].cancel, requests[1].cancel);
  EXPECT_NE(requests[1].cancel, session.cancelToken());
  session.cancel();
  EXPECT_TRUE(requests[0].cancel->isCancelled());
  EXPECT_TRUE(requests[1].cancel->isCancelled());
  EXPECT_EQ(session.request().cmd, TCmd::tCMD_TEST);
  // A new start by the user counts repeats from zero again.
  session.start(requestFor("/dev/ttyUSB1"));
  EXPECT_EQ(session.repeats(), 0);
}

TEST_F(JobSession, RunCancelledBeforeTheStartCancelsEveryLaterJob) {
  runCancel->cancel();
  session.start(requestFor("/dev/ttyUSB0"));
  session.repeat(requestFor("/dev/ttyUSB0"));
  session.start(requestFor("/dev/ttyUSB0"));
  EXPECT_EQ(cancelledAtStart, (std::vector<bool>{true, true, true}));
  EXPECT_TRUE(session.cancelled());
}

TEST_F(JobSession, RunCancelDuringAJobReachesItsWorkerAndTheRepeat) {
  session.start(requestFor("/dev/ttyUSB0"));
  runCancel->cancel();  // a signal while the job runs
  EXPECT_TRUE(requests[0].cancel->isCancelled());
  session.repeat(requestFor("/dev/ttyUSB0"));
  EXPECT_EQ(cancelledAtStart, (std::vector<bool>{false, true}));
}

TEST_F(JobSession, PauseBeforeARepeatLastsOneAndAHalfSecondsUnlessCancelled) {
  sim::TVirtualClock clock;
  session.pauseBeforeRepeat(clock);
  EXPECT_EQ(clock.elapsed(), 1500ms);
  session.cancel();
  session.pauseBeforeRepeat(clock);
  EXPECT_EQ(clock.elapsed(), 1500ms);
}

TEST(JobSessionWithWorkers, KeepsTheResultAndChoiceOfTheLastJob) {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  sim::TMemoryLogger logger(config);
  sim::TVirtualClock clock;
  test::TRecordingSink sink;
  TJobSession session(sink, {.makeTransport = [&](const TCancelToken& cancel) { return logger.connect(clock, cancel); },
                             .clock = &clock});
  TUpdateRequest request;
  request.bReadInfoOnly = true;
  session.start(request);
  ASSERT_TRUE(sink.waitForFinal());
  EXPECT_TRUE(session.running());
  session.release();
  EXPECT_FALSE(session.running());
  EXPECT_EQ(session.lastResult().final, (TNotification{ntf::JobFailed, err::ReadInfoOnly}));
  EXPECT_EQ(session.selectedSource(), 4);
}

}  // namespace
}  // namespace kelvry
