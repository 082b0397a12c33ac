// During an update the progress bar tells how long the programming still
// takes, with the command line's estimate; the title, the status line and
// the report keep their own texts.

#include <chrono>

#include "engine/status_codes.h"
#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

using namespace std::chrono_literals;

class TimeLeftInWindow : public TWindowTest {
protected:
  void SetUp() override {
    TWindowTest::SetUp();
    steadyClock = [this] { return now; };
    openWindow({}, true);
  }

  void progressAfter(std::chrono::seconds pause, int32_t percent) {
    now += pause;
    frmMain->WMWorkerNotify(ntf::Progress, percent);
  }

  QString shownTimeLeft() const {
    const QProgressBar& bar = *frmMain->ProgressBar1;
    return bar.isTextVisible() ? bar.text() : QString();
  }

  std::chrono::steady_clock::time_point now{};
};

TEST_F(TimeLeftInWindow, TheBarShowsTheEstimateOnceThereIsARate) {
  progressAfter(0s, 0);
  EXPECT_EQ(shownTimeLeft(), "") << "one percentage gives no rate";
  const QString status = frmMain->statusText();

  progressAfter(60s, 9);  // 9 % a minute: 90 % more take 10 minutes
  EXPECT_EQ(shownTimeLeft(), "10:00 left");
  EXPECT_EQ(frmMain->windowTitle(), "9%");
  EXPECT_EQ(frmMain->statusText(), status);
  EXPECT_EQ(report().last(), "Progress 9%");

  progressAfter(30s, 54);  // the rate so far: 90 s for 54 %, 45 % to go
  EXPECT_EQ(shownTimeLeft(), "1:15 left");
}

TEST_F(TimeLeftInWindow, NoEstimateOutlivesTheWorkItWasFor) {
  progressAfter(0s, 0);
  progressAfter(60s, 9);
  ASSERT_EQ(shownTimeLeft(), "10:00 left");
  // A repeat starts at 0 again: the old rate no longer counts.
  progressAfter(1s, 0);
  EXPECT_EQ(shownTimeLeft(), "");
  progressAfter(33s, 33);
  EXPECT_EQ(shownTimeLeft(), "1:06 left");

  // A job that fails half-way leaves no estimate behind.
  frmMain->EndJob();
  EXPECT_EQ(shownTimeLeft(), "");
  progressAfter(10s, 40);
  EXPECT_EQ(shownTimeLeft(), "") << "a new measurement begins";

  progressAfter(10s, 60);
  ASSERT_NE(shownTimeLeft(), "");
  frmMain->WMWorkerNotify(ntf::JobDone, 0);
  EXPECT_EQ(shownTimeLeft(), "") << "nothing is left once the update succeeded";
}

}  // namespace
}  // namespace kelvry::test
