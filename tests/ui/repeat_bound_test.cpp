// The repeats the window runs by itself are bounded: a logger that fails
// the same way again and again is no longer erased for ever, and the user
// sees how often the job was repeated and that the logger or its cable
// needs attention.

#include "frontend/job_session.h"
#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

const QString kStopped = "Stopped after 3 repeats in a row: the logger or its cable needs attention.";
// Why, where the logger is and what to do: after read-back errors it is
// erased; a logger that never answered was never erased.
const QString kReadBackAdvice =
    "What the logger read back differed from what was sent. The logger is erased and waits in its bootloader; "
    "check the cable and the logger, then start the update again.";
const QString kNoAnswerAdvice =
    "The logger did not answer. Nothing was erased: the logger still has its application; "
    "check the cable and the logger, plug them in again and start the update again.";

class RepeatBound : public TMemoryLoggerWindowTest {};

sim::TLoggerConfig readBackAlwaysWrong() {
  sim::TLoggerConfig config;
  config.faults.corruptEchoOfLine = 0;
  config.faults.corruptEchoAlways = true;
  return config;
}

sim::TLoggerConfig silentLogger() {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 1;
  return config;
}

TEST_F(RepeatBound, ReadBackThatAlwaysFailsErasesTheLoggerOnlyUpToTheBound) {
  ASSERT_EQ(kDefaultMaxRepeats, 3);
  useLogger(readBackAlwaysWrong());
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  EXPECT_EQ(logger->stats().erases, 1 + kDefaultMaxRepeats);
  EXPECT_EQ(report().count("Repeat because programming error!"), 1 + kDefaultMaxRepeats);
  EXPECT_EQ(report().mid(report().size() - 2), (QStringList{kStopped, kReadBackAdvice}));
  EXPECT_EQ(dialogs.messages, QStringList{kStopped + "\n" + kReadBackAdvice});
  EXPECT_EQ(frmMain->statusText(), kStopped);
  EXPECT_EQ(frmMain->repeatCountText(), "") << "the message says how often; the count went with the job";
  EXPECT_TRUE(looksIdle());
}

TEST_F(RepeatBound, StartByTheUserCountsFromZeroAgain) {
  useLogger(readBackAlwaysWrong());
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());
  ASSERT_EQ(dialogs.messages.size(), 1);

  frmMain->btnProg->click();
  EXPECT_EQ(frmMain->repeatCountText(), "") << "no repeat yet";
  ASSERT_TRUE(waitForIdle());
  EXPECT_EQ(logger->stats().erases, 2 * (1 + kDefaultMaxRepeats));
  EXPECT_EQ(dialogs.messages, (QStringList{kStopped + "\n" + kReadBackAdvice, kStopped + "\n" + kReadBackAdvice}));
}

TEST_F(RepeatBound, SilentLoggerIsTriedOnlyUpToTheBoundWithTheCountShown) {
  useLogger(silentLogger());
  frmMain->btnProg->click();
  EXPECT_TRUE(waitUntil([&] { return frmMain->repeatCountText() == "Repeat 1 of 3"; }));
  EXPECT_TRUE(frmMain->isJobRunning());
  ASSERT_TRUE(waitForIdle());

  EXPECT_EQ(report().count("Repeat update because communication error!"), 1 + kDefaultMaxRepeats);
  EXPECT_EQ(report().count("Start at serial port \"/dev/ttyUSB0\""), 1 + kDefaultMaxRepeats);
  EXPECT_EQ(report().mid(report().size() - 2), (QStringList{kStopped, kNoAnswerAdvice}));
  EXPECT_EQ(dialogs.messages, QStringList{kStopped + "\n" + kNoAnswerAdvice});
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(frmMain->repeatCountText(), "") << "the message says how often; the count went with the job";
  EXPECT_TRUE(looksIdle());
}

TEST_F(RepeatBound, CancelJustBeforeTheLastFailureEndsAsCancelled) {
  sim::TLoggerConfig config = silentLogger();
  int queriesOfTheLastJob = 0;
  // The user presses Cancel just after the last job's last attempt (an
  // exchange makes 5), before the job reports its failure.
  config.onEvent = [&](const std::string& event) {
    if (event.starts_with("identity query") && frmMain->session().repeats() == kDefaultMaxRepeats &&
        ++queriesOfTheLastJob == 5)
      frmMain->session().cancel();
  };
  useLogger(config);
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  ASSERT_EQ(queriesOfTheLastJob, 5);
  EXPECT_EQ(report().count("Repeat update because communication error!"), 1 + kDefaultMaxRepeats);
  EXPECT_EQ(report().last(), "Process cancelled!");
  EXPECT_EQ(dialogs.messages, QStringList{"Process cancelled!"});
  EXPECT_TRUE(looksIdle());
}

}  // namespace
}  // namespace kelvry::test
