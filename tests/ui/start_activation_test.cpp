// At start the main window is the active one with the focus in the port
// box, so that a port name typed at once goes there; in internal mode too,
// where the report appears beside it. The offscreen platform, as Windows at
// start-up, activates a window as it appears whatever it asked for; Wine
// under an X window manager does so only once the X server has shown it,
// which the test waits for.

#include <QTest>

#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

class StartActivation : public TWindowTest, public testing::WithParamInterface<bool> {};

TEST_P(StartActivation, MainWindowIsActiveWithTheFocusInThePortBox) {
  const bool bInternal = GetParam();
  openWindow({}, bInternal);
  frmMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frmMain.get(), 5000));
  // Past the first idle moment, where the report shows in internal mode.
  ASSERT_TRUE(waitUntil([&] { return frmMain->frmProtocol()->isVisible() == bInternal; }, std::chrono::seconds(5)));
  if (bInternal) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frmMain->frmProtocol(), 5000));
  }
  // The window system's activation comes when it likes; once the main window
  // has it, it keeps it.
  waitUntil([&] { return QApplication::activeWindow() == frmMain.get(); }, std::chrono::seconds(5));
  runEventLoopFor(std::chrono::milliseconds(200));

  EXPECT_EQ(QApplication::activeWindow(), frmMain.get());
  EXPECT_EQ(QApplication::focusWidget(), frmMain->cbxPort);
}

INSTANTIATE_TEST_SUITE_P(Modes, StartActivation, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& param) {
                           return param.param ? "Internal" : "Normal";
                         });

}  // namespace
}  // namespace kelvry::test
