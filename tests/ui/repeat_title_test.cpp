// The title carries the running job's percentage; a job the window repeats
// by itself starts again without the percentage of the one that failed.

#include "engine/status_codes.h"
#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

class RepeatTitle : public TWindowTest {};

TEST_F(RepeatTitle, PercentageOfTheFailedJobIsGoneWhenTheRepeatStarts) {
  openWindow({}, true);
  frmMain->cbxPort->setEditText("/nonexistent/ttyUSB9");
  ASSERT_TRUE(frmMain->PrepareJob(QString()));
  frmMain->WMWorkerNotify(ntf::Progress, 21);
  ASSERT_EQ(frmMain->windowTitle(), "21%");

  frmMain->WMWorkerNotify(ntf::CommFailure, 0);
  ASSERT_TRUE(waitUntil([&] { return report().size() > 2; }));
  EXPECT_TRUE(report().last().startsWith("Start at serial port")) << report().join("\n").toStdString();
  EXPECT_EQ(frmMain->ProgressBar1->value(), 0);
  EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");
  ASSERT_TRUE(waitForIdle());
}

}  // namespace
}  // namespace kelvry::test
