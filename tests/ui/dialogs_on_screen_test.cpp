// The file dialog and the firmware overview on a small screen, with a large
// font or at a large scale: cut to the free area of the screen, so that
// every button can be reached; the overview's columns then scroll. ctest
// runs these at twice the scale too, where the screen is half as large.

#include <numeric>

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QScrollBar>

#include "tests/ui/window_fixture.h"
#include "ui/info_window.h"
#include "ui/qt_dialog_settings_keeper.h"
#include "ui/window_docking.h"

namespace kelvry::test {
namespace {

// A point size of the desktop's font; 0 keeps the usual one.
class DialogsOnTheScreen : public TWindowTest, public testing::WithParamInterface<int> {
protected:
  void SetUp() override {
    TWindowTest::SetUp();
    if (GetParam() > 0) {
      QFont font = QApplication::font();
      font.setPointSize(GetParam());
      QApplication::setFont(font);
    }
    openWindow();
    frmMain->show();
    area = availableAreaFor(*frmMain);
  }

  void TearDown() override {
    TWindowTest::TearDown();
    QApplication::setFont(FUsualFont);
  }

  // Every visible button of `window` lies on the free area of the screen.
  void expectButtonsOnTheArea(const QWidget& window) const {
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
      if (!button->isVisible()) continue;
      const QRect onScreen(button->mapToGlobal(QPoint(0, 0)), button->size());
      EXPECT_TRUE(area.contains(onScreen)) << button->text().toStdString();
    }
  }

  QRect area;

private:
  const QFont FUsualFont = QApplication::font();
};

TEST_P(DialogsOnTheScreen, TheOverviewBesideTheRightEdgeStaysOnTheScreen) {
  // The main window as far right as it goes: the wider overview would
  // reach past the edge from the main window's corner.
  frmMain->move(area.left() + area.width() - frmMain->frameGeometry().width(), area.top());
  frmMain->menInfoFirmware->trigger();
  ASSERT_EQ(dialogs.overviews.size(), 1u);
  const TDialogRecorder::TOverview& placed = dialogs.overviews[0];

  // Shown, so that it has a frame of its own, as on a desktop.
  TfrmInfo& info = *frmMain->frmInfo();
  info.show();
  QApplication::processEvents();
  const QRect main = frmMain->frameGeometry();
  const QRect shown = info.frameGeometry();
  EXPECT_TRUE(area.contains(shown));
  EXPECT_EQ(shown.top(), main.top());
  EXPECT_EQ(shown.height(), main.height()) << "the frame must not reach over the report's title bar";
  expectButtonsOnTheArea(info);
  // The columns keep the widths that fit their texts; what the window
  // cannot show, its table scrolls to.
  const int columns = std::accumulate(placed.columnWidths.begin(), placed.columnWidths.end(), 0);
  if (columns + 30 > info.width()) {
    EXPECT_GT(info.ListView1->horizontalScrollBar()->maximum(), 0);
  }
  for (int column = 0; column < info.ListView1->columnCount(); ++column)
    EXPECT_EQ(info.ListView1->columnWidth(column), placed.columnWidths[static_cast<size_t>(column)]);
  info.hide();
}

TEST_P(DialogsOnTheScreen, TheOverviewDocksByFramesOverTheMainWindow) {
  frmMain->move(area.left() + 20, area.top() + 30);
  frmMain->menInfoFirmware->trigger();
  TfrmInfo& info = *frmMain->frmInfo();
  info.show();
  QApplication::processEvents();
  const QRect main = frmMain->frameGeometry();
  const QRect shown = info.frameGeometry();
  EXPECT_EQ(shown.height(), std::min(main.height(), area.height()));
  // From the main window's corner, unless that would take it past the
  // screen's right or bottom edge.
  EXPECT_EQ(shown.left(), std::min(main.left(), area.left() + area.width() - shown.width()));
  EXPECT_EQ(shown.top(), std::min(main.top(), area.top() + area.height() - shown.height()));
  info.hide();
}

TEST_P(DialogsOnTheScreen, TheFileDialogFitsTheFreeArea) {
  // On Windows the dialog writes into the user's registry when it closes.
  const TQtDialogSettingsKeeper keeper;
  const std::unique_ptr<QFileDialog> dialog = makeOpenFileDialog(frmMain.get(), QDir::tempPath());
  const QSize smallest = dialog->minimumSizeHint();
  if (smallest.width() > area.width() || smallest.height() > area.height())
    GTEST_SKIP() << "the dialog's smallest size is larger than the screen at this font";
  dialog->show();
  QApplication::processEvents();
  EXPECT_TRUE(area.contains(dialog->frameGeometry()))
      << dialog->width() << "x" << dialog->height() << " on " << area.width() << "x" << area.height();
  expectButtonsOnTheArea(*dialog);
  dialog->hide();
}

INSTANTIATE_TEST_SUITE_P(Fonts, DialogsOnTheScreen, testing::Values(0, 20),
                         [](const testing::TestParamInfo<int>& param) {
                           return param.param == 0 ? std::string("UsualFont") : std::to_string(param.param) + "pt";
                         });

}  // namespace
}  // namespace kelvry::test
