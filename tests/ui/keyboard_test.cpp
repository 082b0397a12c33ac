// The window used from the keyboard alone: Return presses the focused
// button, Alt letters choose buttons and menus, the focus goes to Cancel
// while a job runs, where only Escape, Alt+C or a click cancel, and Enter
// never abandons a running update.

#include <QKeySequence>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

const QString kNoPort = "/nonexistent/ttyUSB9";
const QString kCloseQuestion = "The update is not finished!\r\nDo you really close the program ?";

class Keyboard : public TWindowTest {
protected:
  // Internal mode with update files: every button shows, Update asks nothing.
  TfrmMain& openActiveWindow() {
    openWindow({"f:+"}, true);
    frmMain->cbxPort->setEditText(kNoPort);
    frmMain->show();
    frmMain->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(frmMain.get(), 5000));
    return *frmMain;
  }
};

TEST_F(Keyboard, ReturnAndEnterPressTheFocusedButton) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    openActiveWindow();
    frmMain->btnProg->setFocus();
    QTest::keyClick(frmMain->btnProg, key);
    EXPECT_TRUE(frmMain->isJobRunning()) << "key " << key;
    ASSERT_TRUE(waitForIdle());

    QSignalSpy closePressed(frmMain->btnClose, &QPushButton::clicked);
    frmMain->btnClose->setFocus();
    QTest::keyClick(frmMain->btnClose, key);
    EXPECT_EQ(closePressed.count(), 1) << "key " << key;
  }
}

TEST_F(Keyboard, EveryButtonAndMenuHasItsOwnAltLetter) {
  openActiveWindow();
  struct TMnemonic {
    QString caption;
    QKeySequence keys;
  };
  // Close and Cancel share a place and a letter; only one of them shows.
  const std::vector<TMnemonic> bar = {
      {frmMain->Label1->text(), QKeySequence(Qt::ALT | Qt::Key_P)},
      {frmMain->btnProg->text(), QKeySequence(Qt::ALT | Qt::Key_U)},
      {frmMain->btnFile->text(), QKeySequence(Qt::ALT | Qt::Key_F)},
      {frmMain->btnClose->text(), QKeySequence(Qt::ALT | Qt::Key_C)},
      {frmMain->btnCancel->text(), QKeySequence(Qt::ALT | Qt::Key_C)},
      {frmMain->chkReadInfoOnly->text(), QKeySequence(Qt::ALT | Qt::Key_R)},
      {frmMain->menInfo->title(), QKeySequence(Qt::ALT | Qt::Key_I)},
      {frmMain->menTest->title(), QKeySequence(Qt::ALT | Qt::Key_T)},
      {frmMain->menInfoFirmware->text(), QKeySequence(Qt::ALT | Qt::Key_F)},
      {frmMain->menInfoFile->text(), QKeySequence(Qt::ALT | Qt::Key_V)},
      {frmMain->menFileExit->text(), QKeySequence(Qt::ALT | Qt::Key_X)},
  };
  for (const TMnemonic& m : bar) EXPECT_EQ(QKeySequence::mnemonic(m.caption), m.keys) << m.caption.toStdString();
  EXPECT_EQ(frmMain->Label1->buddy(), frmMain->cbxPort) << "Alt+P leads to the port box";
}

TEST_F(Keyboard, FocusGoesToCancelWhileAJobRunsAndBackToUpdate) {
  sim::TPtyLogger logger;
  openActiveWindow();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain->btnProg->setFocus();
  QTest::keyClick(frmMain->btnProg, Qt::Key_Space);
  ASSERT_TRUE(frmMain->isJobRunning());
  EXPECT_EQ(frmMain->focusWidget(), frmMain->btnCancel);

  // A stray Space neither cancels nor ticks "Read info only".
  QTest::keyClick(frmMain->focusWidget(), Qt::Key_Space);
  EXPECT_FALSE(frmMain->chkReadInfoOnly->isChecked());
  EXPECT_FALSE(frmMain->session().cancelled());
  QTest::keyClick(frmMain.get(), Qt::Key_Escape);
  EXPECT_TRUE(frmMain->session().cancelled());
  ASSERT_TRUE(waitForIdle());
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_TRUE(dialogs.messages[0].startsWith("Process cancelled!")) << dialogs.messages[0].toStdString();
  EXPECT_EQ(frmMain->focusWidget(), frmMain->btnProg);
}

TEST_F(Keyboard, KeysThatPressAFocusedButtonNeverCancelAJob) {
  sim::TPtyLogger logger;
  openActiveWindow();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain->btnProg->click();
  ASSERT_TRUE(frmMain->isJobRunning());
  ASSERT_EQ(frmMain->focusWidget(), frmMain->btnCancel);
  QSignalSpy cancelPressed(frmMain->btnCancel, &QPushButton::clicked);
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Select}) {
    QTest::keyClick(frmMain->btnCancel, key);
    EXPECT_EQ(cancelPressed.count(), 0) << "key " << key;
    EXPECT_FALSE(frmMain->session().cancelled()) << "key " << key;
  }
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

TEST_F(Keyboard, EscapeAndClickCancelAJob) {
  struct TWay {
    const char* name;
    std::function<void(TfrmMain&)> cancel;
  };
  const std::vector<TWay> ways = {
      {"Escape", [](TfrmMain& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
      // Alt letters reach no shortcut offscreen; the desktop suite presses
      // Alt+C under a real window manager.
      {"click", [](TfrmMain& w) { QTest::mouseClick(w.btnCancel, Qt::LeftButton); }},
  };
  sim::TPtyLogger logger;
  openActiveWindow();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  for (const TWay& way : ways) {
    frmMain->btnProg->click();
    ASSERT_TRUE(frmMain->isJobRunning()) << way.name;
    way.cancel(*frmMain);
    EXPECT_TRUE(frmMain->session().cancelled()) << way.name;
    ASSERT_TRUE(waitForIdle()) << way.name;
  }
  EXPECT_EQ(dialogs.messages.size(), ways.size());
}

TEST_F(Keyboard, EscapeDoesNothingWhenNoJobRuns) {
  openActiveWindow();
  QTest::keyClick(frmMain.get(), Qt::Key_Escape);
  EXPECT_TRUE(frmMain->isVisible());
  EXPECT_TRUE(looksIdle());
  EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Keyboard, OnlyTheCloseQuestionDefaultsToNo) {
  sim::TPtyLogger logger;
  openWindow({"mf:+"}, true);
  frmMain->show();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  dialogs.answer = true;
  frmMain->btnProg->click();
  ASSERT_TRUE(frmMain->isJobRunning());
  dialogs.answer = false;
  EXPECT_FALSE(frmMain->close());

  ASSERT_EQ(dialogs.questions.size(), 2);
  EXPECT_EQ(dialogs.questions[1], kCloseQuestion);
  EXPECT_EQ(dialogs.defaultAnswers, (std::vector<TDefaultAnswer>{TDefaultAnswer::Yes, TDefaultAnswer::No}));
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

TEST(ConfirmBox, EnterGivesTheDefaultAnswer) {
  for (const TDefaultAnswer answer : {TDefaultAnswer::Yes, TDefaultAnswer::No}) {
    const auto box = makeConfirmBox(nullptr, kCloseQuestion, answer);
    const QMessageBox::StandardButton expected = answer == TDefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No;
    EXPECT_EQ(box->defaultButton(), box->button(expected));
    // The user presses Enter as soon as the box shows.
    QTimer::singleShot(0, box.get(), [&] { QTest::keyClick(box.get(), Qt::Key_Return); });
    box->exec();
    EXPECT_EQ(box->clickedButton(), box->button(expected));
  }
}

}  // namespace
}  // namespace kelvry::test
