// The report window below the main window and the message window laid over
// it.

#include <QScrollBar>

#include "tests/ui/window_fixture.h"
#include "ui/message_window.h"
#include "ui/protocol_window.h"

namespace kelvry::test {
namespace {

TEST(ReportLine, StartsWithTheLocalTimeAndAnArrow) {
  EXPECT_EQ(formatReportLine(QTime(14, 5, 9), "Info 0"), "14-05-09 -> Info 0");
  EXPECT_EQ(formatReportLine(QTime(0, 0, 0), ""), "00-00-00 -> ");
}

class ReportWindow : public TWindowTest {};

TEST_F(ReportWindow, ClearThenAddLeavesExactlyOneTimeStampedLine) {
  openWindow();
  TfrmProtocol& report = *frmMain->frmProtocol();
  report.Add("first");
  report.Add("second");
  report.Clear();
  const QTime before = QTime::currentTime();
  report.Add("Progress 45%");
  ASSERT_EQ(report.lines().size(), 1);
  const QTime stamped = QTime::fromString(report.lines()[0].left(8), "hh-mm-ss");
  ASSERT_TRUE(stamped.isValid()) << report.lines()[0].toStdString();
  EXPECT_LE(std::abs(stamped.secsTo(before)), 1);
  EXPECT_EQ(report.lines()[0].mid(8), " -> Progress 45%");
}

TEST_F(ReportWindow, KeepsTheNewestLineInViewWhenItOverflows) {
  openWindow();
  TfrmProtocol& report = *frmMain->frmProtocol();
  report.show();
  for (int i = 0; i < 200; ++i) report.Add(QString("Progress %1%").arg(i % 100));
  QScrollBar* bar = report.Memo1->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(report.lines().size(), 200);
}

TEST_F(ReportWindow, AUserWhoScrolledUpKeepsThePlaceUntilBackAtTheEnd) {
  openWindow();
  TfrmProtocol& report = *frmMain->frmProtocol();
  report.show();
  for (int i = 0; i < 100; ++i) report.Add(QString("Line %1").arg(i));
  QScrollBar* bar = report.Memo1->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 20);

  bar->setValue(20);
  for (int i = 0; i < 50; ++i) report.Add(QString("Progress %1%").arg(i));
  EXPECT_EQ(bar->value(), 20) << "the line being read stays in view";

  bar->setValue(bar->maximum());
  report.Add("Update Kelvry V2.92 succesfully completed.");
  EXPECT_EQ(bar->value(), bar->maximum()) << "at the end, the report follows the newest line again";
  EXPECT_EQ(report.lines().size(), 151);
}

TEST_F(ReportWindow, GoesAndComesBackWithTheMinimisedMainWindow) {
  openWindow({}, true);
  frmMain->show();
  TfrmProtocol& report = *frmMain->frmProtocol();
  ASSERT_TRUE(waitUntil([&] { return report.isVisible(); }, std::chrono::seconds(5)));

  frmMain->setWindowState(Qt::WindowMinimized);
  EXPECT_FALSE(report.isVisible());
  frmMain->setWindowState(Qt::WindowNoState);
  EXPECT_TRUE(report.isVisible());
  EXPECT_EQ(report.pos(), QPoint(frmMain->x(), frmMain->y() + frmMain->frameGeometry().height()));
}

TEST_F(ReportWindow, StaysHiddenOutsideInternalModeWhenTheMainWindowIsRestored) {
  openWindow();
  frmMain->show();
  runEventLoopFor(std::chrono::milliseconds(50));
  frmMain->setWindowState(Qt::WindowMinimized);
  frmMain->setWindowState(Qt::WindowNoState);
  EXPECT_FALSE(frmMain->frmProtocol()->isVisible());
}

TEST_F(ReportWindow, StartsDockedBelowTheMainWindowWithItsWidth) {
  openWindow();
  const TfrmProtocol& report = *frmMain->frmProtocol();
  EXPECT_EQ(report.pos(), QPoint(frmMain->x(), frmMain->y() + frmMain->frameGeometry().height()));
  EXPECT_EQ(report.frameGeometry().width(), frmMain->frameGeometry().width());
  EXPECT_TRUE(report.lines().isEmpty());
  EXPECT_TRUE(report.isHidden());
}

TEST_F(ReportWindow, FollowsTheMainWindowAndKeepsTheSizeTheUserGaveIt) {
  openWindow({}, true);
  frmMain->show();
  TfrmProtocol& report = *frmMain->frmProtocol();
  report.show();
  report.resize(300, 200);

  for (const QPoint& place : {QPoint(50, 60), QPoint(120, 10), QPoint(0, 0)}) {
    frmMain->move(place);
    ASSERT_TRUE(waitUntil([&] { return report.pos() == QPoint(place.x(), place.y() + frmMain->frameGeometry().height()); },
                          std::chrono::seconds(5)))
        << "main at " << place.x() << "," << place.y() << ", report at " << report.x() << "," << report.y();
    EXPECT_EQ(report.size(), QSize(300, 200));
  }
}

class MessageWindow : public TWindowTest {};

TEST_F(MessageWindow, LiesInsideTheGivenOutline) {
  openWindow();
  frmMain->frmMessage()->showMsg("Process cancelled!", 100, 200, 371, 230);
  ASSERT_EQ(dialogs.messages, QStringList{"Process cancelled!"});
  const QRect outline = dialogs.messageOutlines.at(0);
  EXPECT_EQ(outline.left(), 110);
  EXPECT_EQ(outline.width(), 351);
  EXPECT_EQ(outline.top() + outline.height(), 420);
}

TEST_F(MessageWindow, ShowsOnlyTheLatestTextOverTheMainWindow) {
  openWindow();
  frmMain->move(40, 30);
  frmMain->ShowMessageText("Aborted because the logger is not ready!");
  frmMain->ShowMessageText("Update was not successfull!");
  ASSERT_EQ(dialogs.messages,
            (QStringList{"Aborted because the logger is not ready!", "Update was not successfull!"}));
  const QRect main = frmMain->frameGeometry();
  const QRect outline = dialogs.messageOutlines.at(1);
  EXPECT_EQ(outline.left(), main.left() + 10);
  EXPECT_EQ(outline.width(), main.width() - 20);
  EXPECT_EQ(outline.top() + outline.height(), main.top() + main.height() - 10);
}

TEST_F(MessageWindow, OkClosesTheModalWindow) {
  openWindow();
  // The real modal loop this time: the user presses OK.
  dialogHooks().execModal = [](QDialog& dialog) { return dialog.exec(); };
  TfrmMessage& message = *frmMain->frmMessage();
  QTimer::singleShot(0, message.Button1, &QPushButton::click);
  message.showMsg("Only read update info!", 0, 0, 400, 300);
  EXPECT_EQ(message.result(), QDialog::Accepted);
  EXPECT_FALSE(message.isVisible());
  EXPECT_EQ(message.windowTitle(), "Information");
}

}  // namespace
}  // namespace kelvry::test
