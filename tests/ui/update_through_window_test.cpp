// A complete firmware update, started and watched through the window, with
// the virtual logger on a pseudo-terminal.

#include <algorithm>

#include "firmware/identity_names.h"
#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

class UpdateThroughWindow : public TWindowTest {};

// Whether `wanted` appears in `lines` in this order, other lines between.
bool inOrder(const QStringList& lines, const QStringList& wanted) {
  qsizetype from = 0;
  for (const QString& line : wanted) {
    from = lines.indexOf(line, from);
    if (from < 0) return false;
    ++from;
  }
  return true;
}

TEST_F(UpdateThroughWindow, ProgramsTheLoggerAndReportsEveryStep) {
  sim::TPtyLogger logger;
  const QString port = QString::fromStdString(logger.portPath());
  openWindow();
  frmMain->show();
  frmMain->cbxPort->setEditText(port);
  dialogs.answer = true;
  std::vector<int> titles;
  QObject::connect(frmMain.get(), &QWidget::windowTitleChanged, [&](const QString& title) {
    bool bNumber = false;
    const int percent = title.chopped(1).toInt(&bNumber);
    if (bNumber) titles.push_back(percent);
  });

  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle(std::chrono::seconds(60)));

  const QString success = "Update Kelvry V2.92 succesfully completed.";
  EXPECT_EQ(dialogs.questions.size(), 1);
  EXPECT_EQ(dialogs.messages, QStringList{success});
  EXPECT_EQ(frmMain->statusText(), success);
  EXPECT_EQ(frmMain->ProgressBar1->value(), 100);
  EXPECT_TRUE(looksIdle());
  EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");

  // The class lines name a class without a print: the family's name.
  std::string family;
  getClassName(26135, kUnknownNumber, family);
  const QString applicationClass = "Class 26135 [" + QString::fromStdString(family) + "]";

  const QStringList lines = report();
  EXPECT_EQ(lines.first(), "Start at serial port \"" + port + "\"");
  EXPECT_EQ(lines.last(), success);
  EXPECT_TRUE(inOrder(lines, {applicationClass, "Version 2.92", "Class 51202 [BL3]", "Version 3.0",
                              "Platform 15 [F5438 WD]", "Print 56 [A10i BLE UART]", "Update Info FFFE",
                              "Check Kelvry V2.92, A10i BLE UART, BL3.0", "Update Kelvry V2.92, A10i BLE UART, BL3.0",
                              "Vector table is saved.", "Vector table is programmed.", applicationClass,
                              success}))
      << lines.join("\n").toStdString();

  std::vector<int> progress;
  for (const QString& line : lines) {
    if (line.startsWith("Progress ")) progress.push_back(line.mid(9).chopped(1).toInt());
  }
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_GT(progress.back(), 90);
  EXPECT_EQ(titles, progress) << "the task bar shows each percentage";

  EXPECT_TRUE(logger.stats().inApplication);
  EXPECT_EQ(logger.stats().erases, 1);
}

}  // namespace
}  // namespace kelvry::test
