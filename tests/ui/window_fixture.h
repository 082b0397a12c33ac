#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include "tests/ui/dialog_recorder.h"
#include "tests/ui/fake_port_tree.h"
#include "ui/init_forms.h"
#include "ui/main_window.h"
#include "ui/protocol_window.h"
#include "frontend/run_options.h"

namespace kelvry::test {

// A caption as the user reads it: without the ampersand that marks its Alt
// letter.
inline QString shownCaption(const QString& caption) {
  QString shown;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

// A main window with its secondary windows, run options from the given
// command line and switch, ports from a fake tree, and a recorder in place
// of the user at the dialogs.
class TWindowTest : public testing::Test {
protected:
  void SetUp() override {
    dialogs.install();
  }

  void TearDown() override {
    if (frmMain && frmMain->isJobRunning()) frmMain->btnCancelClick();
    frmMain.reset();
    dialogHooks() = defaultDialogHooks();
  }

  TfrmMain& openWindow(const QStringList& options = {}, bool bInternal = false) {
    frmMain = std::make_unique<TfrmMain>(TMainWindowSetup{
        .arguments = QStringList{"/opt/kelvry/kelvry-update"} + options,
        .readInternalSwitch = [bInternal] { return bInternal; },
        .portRoots = ports.roots(),
        .isApplicationActive = [this] { return applicationActive; },
        .jobEnvironment = jobEnvironment ? *jobEnvironment : platformJobEnvironment(),
        .steadyClock = [this] { return steadyClock ? steadyClock() : std::chrono::steady_clock::now(); },
        .testCaption = testCaption,
    });
    initForms(*frmMain);
    return *frmMain;
  }

  // The report without its time stamps ("hh-nn-ss -> ").
  QStringList report() const {
    QStringList lines;
    for (const QString& line : frmMain->frmProtocol()->lines()) lines << line.mid(12);
    return lines;
  }

  // Runs the event loop, idle moments included, until `done` holds.
  static bool waitUntil(const std::function<bool()>& done,
                        std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (done()) loop.quit();
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    poll.start(5);
    if (!done()) loop.exec();
    return done();
  }

  static void runEventLoopFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, &loop, &QEventLoop::quit);
    loop.exec();
  }

  bool waitForIdle(std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    return waitUntil([this] { return !frmMain->isJobRunning(); }, timeout);
  }

  // The controls as the user sees the busy state.
  bool looksBusy() const {
    return !frmMain->btnProg->isEnabled() && frmMain->btnClose->isHidden() && !frmMain->btnCancel->isHidden() &&
           !frmMain->cbxPort->isEnabled() && QApplication::overrideCursor() != nullptr &&
           QApplication::overrideCursor()->shape() == Qt::WaitCursor;
  }

  bool looksIdle() const {
    return frmMain->btnProg->isEnabled() && !frmMain->btnClose->isHidden() && frmMain->btnCancel->isHidden() &&
           frmMain->cbxPort->isEnabled() && QApplication::overrideCursor() == nullptr;
  }

  TFakePortTree ports;
  TDialogRecorder dialogs;
  bool applicationActive = true;
  // Where the window's jobs find their serial line: the platform's ports
  // unless a test sets a logger in memory here before opening the window.
  std::optional<TJobEnvironment> jobEnvironment;
  // The clock of the time-left estimate; the real one unless a test sets
  // its own.
  std::function<std::chrono::steady_clock::time_point()> steadyClock;
  // The Test menu item's caption; empty hides the menu.
  std::string testCaption;
  std::unique_ptr<TfrmMain> frmMain;
};

}  // namespace kelvry::test
