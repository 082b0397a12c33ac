// The title carries the running job's percentage; a job the window repeats
// by itself starts again without the percentage of the one that failed.

#include "engine/status_codes.h"
#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

// A logger that never answers: every job ends in a communication failure
// and is repeated, so the window never ends the job by itself.
sim::TLoggerConfig silentLogger() {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 1;
  return config;
}

class RepeatTitle : public TWindowTest {};

TEST_F(RepeatTitle, PercentageOfTheFailedJobIsGoneWhenTheRepeatStarts) {
  sim::TPtyLogger logger(silentLogger());
  openWindow({}, true);
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  ASSERT_TRUE(frmMain->PrepareJob(QString()));
  frmMain->WMWorkerNotify(ntf::Progress, 21);
  ASSERT_EQ(frmMain->windowTitle(), "21%");

  frmMain->WMWorkerNotify(ntf::CommFailure, 0);
  ASSERT_TRUE(waitUntil([&] { return report().size() > 2; }));
  EXPECT_TRUE(report()[2].startsWith("Start at serial port")) << report().join("\n").toStdString();
  EXPECT_TRUE(frmMain->isJobRunning()) << "the repeated job runs; nothing has ended it";
  EXPECT_EQ(frmMain->ProgressBar1->value(), 0);
  EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");

  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

}  // namespace
}  // namespace kelvry::test
