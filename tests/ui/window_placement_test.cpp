// Where the windows go on the desktop, measured by their outer frames: the
// report docked below the main window from its first showing on, the
// closing message inside the main window from the first message on, both
// kept on the screen; the report cannot be closed by the user.

#include <QScreen>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/message_window.h"
#include "ui/window_docking.h"

namespace kelvry::test {
namespace {

QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

class ReportPlacement : public TWindowTest {
protected:
  // Internal mode, shown, past the first idle moment: the report shows.
  TfrmProtocol& openWithReport() {
    openWindow({}, true);
    frmMain->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frmMain.get(), 5000));
    EXPECT_TRUE(waitUntil([&] { return frmMain->frmProtocol()->isVisible(); }, std::chrono::seconds(5)));
    return *frmMain->frmProtocol();
  }
};

TEST_F(ReportPlacement, FrameSitsJustBelowTheMainWindowsFrameFromTheFirstShowingOn) {
  TfrmProtocol& report = openWithReport();
  const QRect main = frmMain->frameGeometry();
  const QRect below = report.frameGeometry();
  ASSERT_NE(below, report.geometry()) << "the platform draws frames";
  EXPECT_EQ(below.topLeft(), QPoint(main.left(), main.bottom() + 1));
  EXPECT_EQ(below.width(), main.width());
  EXPECT_FALSE(below.intersects(main));
}

TEST_F(ReportPlacement, CloseRequestsAreIgnoredWhileTheMainWindowShows) {
  TfrmProtocol& report = openWithReport();
  EXPECT_FALSE(report.close());
  EXPECT_TRUE(report.isVisible());
  EXPECT_TRUE(report.windowFlags() & Qt::WindowTitleHint);
  EXPECT_FALSE(report.windowFlags() & Qt::WindowCloseButtonHint);

  // The main window still hides it, and closing the program takes it along.
  EXPECT_TRUE(frmMain->close());
  EXPECT_FALSE(report.isVisible());
}

TEST_F(ReportPlacement, MainWindowKeepsTheFocusWhenTheReportAppears) {
  // Which window a window manager activates is seen under a real one
  // (tests/desktop); here, what the window asks of it.
  openWithReport();
  EXPECT_TRUE(frmMain->frmProtocol()->testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(frmMain->focusWidget(), frmMain->cbxPort) << "a port name typed at once goes into the box";
}

TEST_F(ReportPlacement, LowOnTheScreenTheReportShrinksToStayOnIt) {
  TfrmProtocol& report = openWithReport();
  const QRect area = screenArea();
  const int fullHeight = report.height();
  frmMain->move(area.left(), area.bottom() - frmMain->frameGeometry().height() - fullHeight * 3 / 4);
  ASSERT_TRUE(waitUntil([&] { return report.y() > frmMain->y() + frmMain->height(); }, std::chrono::seconds(5)));
  EXPECT_LE(report.frameGeometry().bottom(), area.bottom())
      << "report " << report.frameGeometry().y() << "+" << report.frameGeometry().height() << " inside "
      << report.y() << "+" << report.height() << " main " << frmMain->frameGeometry().bottom();
  EXPECT_LT(report.height(), fullHeight);
  EXPECT_GE(report.height(), report.minimumDockedHeight());
}

struct TGroupCase {
  const char* name;
  QRect area;
  QSize main;
  int below;
  QPoint expected;
};

void PrintTo(const TGroupCase& c, std::ostream* os) { *os << c.name; }

class StartPlace : public testing::TestWithParam<TGroupCase> {};

TEST_P(StartPlace, CentresMainWindowAndReportTogetherWithinTheArea) {
  const TGroupCase& c = GetParam();
  EXPECT_EQ(startPlaceOfGroup(c.area, c.main, c.below), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, StartPlace,
    testing::Values(TGroupCase{"NoReport", QRect(0, 0, 1024, 768), QSize(355, 200), 0, QPoint(334, 284)},
                    TGroupCase{"WithReport", QRect(0, 0, 1024, 768), QSize(355, 200), 160, QPoint(334, 204)},
                    TGroupCase{"PanelAtTop", QRect(0, 30, 1024, 738), QSize(355, 200), 160, QPoint(334, 219)},
                    TGroupCase{"TallerThanTheScreen", QRect(0, 0, 512, 384), QSize(710, 440), 300, QPoint(0, 0)}),
    [](const testing::TestParamInfo<TGroupCase>& param) { return std::string(param.param.name); });

class MessagePlacement : public TWindowTest {};

TEST_F(MessagePlacement, FirstMessageOfASessionSitsWhereEveryLaterOneDoes) {
  openWindow();
  frmMain->move(60, 40);
  frmMain->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frmMain.get(), 5000));
  // The message window really shows, so that its own frame counts.
  std::vector<QRect> outlines;
  dialogHooks().execModal = [&](QDialog& dialog) {
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog, 5000));
    outlines.push_back(dialog.frameGeometry());
    dialog.hide();
    return 1;
  };
  frmMain->ShowMessageText("Process cancelled!");
  frmMain->ShowMessageText("Process cancelled!");

  const QRect main = frmMain->frameGeometry();
  ASSERT_EQ(outlines.size(), 2u);
  for (const QRect& outline : outlines) {
    EXPECT_EQ(outline.left(), main.left() + 10);
    EXPECT_EQ(outline.width(), main.width() - 20);
    EXPECT_EQ(outline.bottom(), main.bottom() - 10);
  }
}

}  // namespace
}  // namespace kelvry::test
