// The question "The update is not finished!" asked on closing during a job
// goes away by itself when the job ends while it is open; the closing
// message then shows as usual and the window stays.

#include <QMessageBox>

#include "engine/status_codes.h"
#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

const QString kCloseQuestion = "The update is not finished!\r\nDo you really close the program ?";
const QString kDone = "Update Kelvry V2.92 succesfully completed.";

class CloseQuestion : public TMemoryLoggerWindowTest {};

TEST_F(CloseQuestion, GoesAwayWhenTheJobEndsWhileItIsOpen) {
  useLogger({});
  frmMain->show();
  frmMain->btnProg->click();
  ASSERT_TRUE(frmMain->isJobRunning());
  // The user would close the program; the job ends before the answer.
  dialogs.answer = true;
  dialogs.whileAsking = [this] { waitUntil([this] { return !frmMain->isJobRunning(); }); };

  EXPECT_FALSE(frmMain->close());
  EXPECT_EQ(dialogs.events, (QStringList{"question: " + kCloseQuestion, "withdrawn", "message: " + kDone}));
  EXPECT_TRUE(frmMain->isVisible());
  EXPECT_TRUE(looksIdle());

  // Nothing is left to ask about now.
  dialogs.whileAsking = nullptr;
  EXPECT_TRUE(frmMain->close());
  EXPECT_EQ(dialogs.questions.size(), 1);
}

TEST_F(CloseQuestion, EndOfATestRunWithoutMessageWithdrawsItToo) {
  useLogger({});
  frmMain->show();
  ASSERT_TRUE(frmMain->PrepareJob(QString()));
  frmMain->StartJob(TCmd::tCMD_TEST);
  dialogs.answer = true;
  dialogs.whileAsking = [this] { waitUntil([this] { return !frmMain->isJobRunning(); }); };
  EXPECT_FALSE(frmMain->close());
  EXPECT_EQ(dialogs.events, (QStringList{"question: " + kCloseQuestion, "withdrawn"}));
}

TEST_F(CloseQuestion, StaysWhileTheJobIsRepeated) {
  sim::TLoggerConfig silent;
  silent.faults.silentFrom = 1;
  useLogger(silent);
  frmMain->show();
  frmMain->btnProg->click();
  // The job fails and waits to be repeated: still not finished.
  dialogs.whileAsking = [this] {
    waitUntil([this] { return frmMain->statusText() == "Repeat update because communication error!"; });
  };
  EXPECT_FALSE(frmMain->close());
  EXPECT_EQ(dialogs.events, QStringList{"question: " + kCloseQuestion});
  EXPECT_TRUE(frmMain->isJobRunning());
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

TEST(WithdrawnQuestion, ClosesTheBoxAndAnswersNo) {
  const TDialogHooks hooks = defaultDialogHooks();
  bool bShown = false;
  QTimer::singleShot(0, [&] {
    bShown = QApplication::activeModalWidget() != nullptr;
    hooks.withdrawQuestion();
  });
  // Yes is the default answer here, so a withdrawal must not fall back to it.
  EXPECT_FALSE(hooks.confirm(nullptr, kCloseQuestion, TDefaultAnswer::Yes));
  EXPECT_TRUE(bShown);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
}  // namespace kelvry::test
