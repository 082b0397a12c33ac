// Draws the window for the README: a complete update against the virtual
// logger, once in normal mode and once in internal mode with the report
// docked below. Run offscreen by scripts/screenshots.sh.

#include <cstdio>

#include <QDir>
#include <QEventLoop>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "engine/comm_thread.h"
#include "engine/update_job.h"
#include "firmware/firmware_sources.h"
#include "tools/logger_sim/pty_logger.h"
#include "ui/dialog_hooks.h"
#include "ui/error_handler.h"
#include "ui/init_forms.h"
#include "ui/main_window.h"
#include "ui/protocol_window.h"
#include "ui/run_options.h"

namespace {

using kelvry::TfrmMain;

// The user says Yes and reads every message; nothing modal blocks.
void answerEveryDialog() {
  kelvry::dialogHooks().confirm = [](QWidget*, const QString&, kelvry::TDefaultAnswer) { return true; };
  kelvry::dialogHooks().execModal = [](QDialog&) { return 1; };
  kelvry::dialogHooks().beep = [] {};
}

void runEventLoopUntil(const std::function<bool()>& done, int timeoutMs) {
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  poll.start(20);
  loop.exec();
}

// Runs one complete update through the window and returns its picture,
// with the report below it when the report is shown.
QPixmap updateAndGrab(const QStringList& options, bool bInternal) {
  kelvry::resetRunOptions();
  kelvry::selectedSource = -1;
  kelvry::sim::TPtyLogger logger;
  TfrmMain frmMain(kelvry::TMainWindowSetup{
      .arguments = QStringList{"kelvry-update"} + options,
      .readInternalSwitch = [bInternal] { return bInternal; },
      .portRoots = {},
      .isApplicationActive = [] { return false; },
  });
  kelvry::initForms(frmMain);
  frmMain.move(0, 0);
  frmMain.show();
  frmMain.cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain.btnProg->click();
  runEventLoopUntil([&] { return !frmMain.isJobRunning(); }, 60000);

  const QPixmap main = frmMain.grab();
  kelvry::TfrmProtocol& report = *frmMain.frmProtocol();
  if (!report.isVisible()) return main;
  const QPixmap below = report.grab();
  QPixmap both(std::max(main.width(), below.width()), main.height() + below.height());
  both.fill(Qt::white);
  QPainter painter(&both);
  painter.drawPixmap(0, 0, main);
  painter.drawPixmap(0, main.height(), below);
  return both;
}

}  // namespace

int main(int argc, char* argv[]) {
  kelvry::TApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const QDir folder(QString::fromLocal8Bit(argv[1]));
  kelvry::CommThreadClass = &kelvry::createCommThread<kelvry::TBrisolcCommThread>;
  answerEveryDialog();

  const bool bSaved = updateAndGrab({}, false).save(folder.filePath("screenshot-normal.png")) &&
                      updateAndGrab({"f:+"}, true).save(folder.filePath("screenshot-internal.png"));
  if (!bSaved) std::fprintf(stderr, "cannot write the pictures into %s\n", argv[1]);
  return bSaved ? 0 : 1;
}
