// The jobs the window repeats by itself: after a communication failure
// (notification 13, after a 1.5 s wait) and after a read-back error (error
// 44, at once), against the virtual logger.

#include "engine/status_codes.h"
#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

using std::chrono::milliseconds;
using TClock = std::chrono::steady_clock;

const QString kRepeatText = "Repeat update because communication error!";

// A logger that lets the first job's identity query go unanswered (the two
// wake-up frames are exchanges 1 and 2, the query's five attempts 3 to 7)
// and answers everything after.
sim::TLoggerConfig silentAtFirstQuery() {
  sim::TLoggerConfig config;
  for (int exchange = 3; exchange <= 7; ++exchange) config.faults.replyFaultAt[exchange] = sim::TReplyFault::Drop;
  return config;
}

class CommFailureRepeat : public TWindowTest {
protected:
  // Internal mode with "Read info only", so that a repeated job that runs
  // ends quickly and without erasing.
  void startReadInfoJob(const sim::TPtyLogger& logger) {
    openWindow({}, true);
    frmMain->chkReadInfoOnly->setChecked(true);
    frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
    frmMain->btnProg->click();
  }

  QString startText(const sim::TPtyLogger& logger) const {
    return "Start at serial port \"" + QString::fromStdString(logger.portPath()) + "\"";
  }
};

TEST_F(CommFailureRepeat, WaitsBusyThenRunsTheJobAgain) {
  sim::TPtyLogger logger(silentAtFirstQuery());
  startReadInfoJob(logger);

  ASSERT_TRUE(waitUntil([&] { return frmMain->statusText() == kRepeatText; }));
  const auto failedAt = TClock::now();
  EXPECT_EQ(report(), (QStringList{startText(logger), kRepeatText}));
  EXPECT_TRUE(frmMain->isJobRunning());

  ASSERT_TRUE(waitUntil([&] { return report().size() > 2; }));
  EXPECT_GE(TClock::now() - failedAt, milliseconds(1400));
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_EQ(report()[2], startText(logger));
  EXPECT_TRUE(looksBusy());

  ASSERT_TRUE(waitForIdle());
  EXPECT_EQ(dialogs.messages, QStringList{"Only read update info!"});
  EXPECT_EQ(report().last(), "Only read update info!");
  EXPECT_EQ(report().count(startText(logger)), 2) << "the report of the first run is kept";
}

TEST_F(CommFailureRepeat, StaysBusyDuringTheWait) {
  sim::TPtyLogger logger(silentAtFirstQuery());
  startReadInfoJob(logger);
  ASSERT_TRUE(waitUntil([&] { return frmMain->statusText() == kRepeatText; }));
  runEventLoopFor(milliseconds(700));
  EXPECT_TRUE(looksBusy());
  EXPECT_EQ(report().size(), 2);
  ASSERT_TRUE(waitForIdle());
}

TEST_F(CommFailureRepeat, CancelDuringTheWaitEndsItAndStopsTheNextWorkerAtItsFirstAttempt) {
  sim::TPtyLogger logger(silentAtFirstQuery());
  startReadInfoJob(logger);
  ASSERT_TRUE(waitUntil([&] { return frmMain->statusText() == kRepeatText; }));
  const int exchangesBefore = logger.stats().exchanges;

  const auto clicked = TClock::now();
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
  EXPECT_LT(TClock::now() - clicked, milliseconds(1000)) << "the 1.5 s wait must not run out";

  EXPECT_EQ(report(), (QStringList{startText(logger), kRepeatText, startText(logger), "Process cancelled!"}));
  EXPECT_EQ(dialogs.messages, QStringList{"Process cancelled!"});
  EXPECT_EQ(logger.stats().exchanges, exchangesBefore);
}

TEST_F(CommFailureRepeat, CancelBeforeTheFailureStopsTheNextWorker) {
  sim::TPtyLogger logger;
  openWindow({}, true);
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  ASSERT_TRUE(frmMain->PrepareJob(QString()));
  // The user pressed Cancel just after the worker's last attempt; the
  // worker reports the communication failure all the same.
  // A cancel ends the wait before the repeat at once: the new worker starts
  // right away and stops at its first attempt.
  frmMain->btnCancelClick();
  frmMain->WMWorkerNotify(ntf::CommFailure, 0);
  EXPECT_EQ(report(), (QStringList{kRepeatText, startText(logger)}));
  ASSERT_TRUE(waitForIdle());
  EXPECT_EQ(report().last(), "Process cancelled!");
  EXPECT_EQ(logger.stats().exchanges, 0);
}

TEST_F(CommFailureRepeat, RepeatsTheCommandItWasGiven) {
  sim::TPtyLogger logger;
  openWindow({}, true);
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  ASSERT_TRUE(frmMain->PrepareJob(QString()));
  frmMain->WMWorkerNotify(ntf::CommFailure, static_cast<int32_t>(TCmd::tCMD_TEST));
  ASSERT_TRUE(waitForIdle(std::chrono::seconds(60)));
  // A test run that completes announces no update.
  EXPECT_TRUE(dialogs.messages.isEmpty()) << report().join("\n").toStdString();
  EXPECT_EQ(frmMain->ProgressBar1->value(), 100);
}

class ProgrammingErrorRepeat : public TWindowTest {};

TEST_F(ProgrammingErrorRepeat, StartsAgainAtOnceKeepingTheReport) {
  sim::TLoggerConfig config;
  config.faults.corruptEchoOfLine = 0;  // the first line's first echo only
  sim::TPtyLogger logger(config);
  openWindow({}, true);
  const QString start = "Start at serial port \"" + QString::fromStdString(logger.portPath()) + "\"";
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));

  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle(std::chrono::seconds(60)));

  const QStringList lines = report();
  const qsizetype repeat = lines.indexOf("Repeat because programming error!");
  ASSERT_GT(repeat, 0) << lines.join("\n").toStdString();
  EXPECT_TRUE(lines[repeat - 1].startsWith("Aborted because programming error at line "));
  EXPECT_EQ(lines.value(repeat + 1), start);
  EXPECT_EQ(lines.first(), start);
  EXPECT_EQ(lines.last(), "Update Kelvry V2.92 succesfully completed.");
  EXPECT_EQ(dialogs.messages, QStringList{"Update Kelvry V2.92 succesfully completed."});
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(logger.stats().erases, 2);
  EXPECT_TRUE(logger.stats().inApplication);
}

}  // namespace
}  // namespace kelvry::test
