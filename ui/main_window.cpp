#include "ui/main_window.h"

#include <algorithm>
#include <stdexcept>

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QScreen>

#include "engine/job_options.h"
#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "ui/dialog_hooks.h"
#include "ui/error_handler.h"
#include "ui/info_window.h"
#include "ui/message_window.h"
#include "ui/port_box_items.h"
#include "ui/port_watcher.h"
#include "ui/protocol_window.h"
#include "ui/run_options.h"

namespace kelvry {

namespace {

const QString kCaption = "Kelvry Firmware Update";
const QString kInfoCaption = "Info 2024-04-04";
const QString kQuestionClearsMeasurements = "This update clears all measurements!\r\nDo you really continue ?";
const QString kQuestionSavedMeasurements =
    "Do you save your measurements ?\r\nDo you really continue without saving ?";
const QString kQuestionCloseWhileBusy = "The update is not finished!\r\nDo you really close the program ?";

constexpr int kClientWidth = 355;
constexpr int kPanelHeight = 161;
constexpr int kRowButtonGap = 8;
constexpr int kRepeatDelayMs = 1500;

QString toQt(const std::string& text) { return QString::fromStdString(text); }

// File names reach the catalogue in the encoding of the file system.
std::string toLocalPath(const QString& file) { return QFile::encodeName(file).toStdString(); }

}  // namespace

TMainWindowSetup TMainWindowSetup::fromProgram() {
  return TMainWindowSetup{
      .arguments = QCoreApplication::arguments(),
      .readInternalSwitch = ReadInternalSwitch,
      .portRoots = TPortListRoots{},
      .isApplicationActive = [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; },
  };
}

TfrmMain::TfrmMain(TMainWindowSetup setup)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      Panel1(new QWidget(this)),
      Label1(new QLabel("Comport:", Panel1)),
      cbxPort(new QComboBox(Panel1)),
      ProgressBar1(new QProgressBar(Panel1)),
      btnProg(new QPushButton("Update", Panel1)),
      btnFile(new QPushButton("File", Panel1)),
      btnClose(new QPushButton("Close", Panel1)),
      btnCancel(new QPushButton("Cancel", Panel1)),
      chkReadInfoOnly(new QCheckBox("Read info only", Panel1)),
      StatusBar1(new QStatusBar(this)),
      menInfo(menuBar()->addMenu(kInfoCaption)),
      menInfoFirmware(menInfo->addAction("Firmware")),
      menInfoFile(menInfo->addAction("File version")),
      menFileExit((menInfo->addSeparator(), menInfo->addAction("Exit"))),
      menTest(menuBar()->addMenu("Test")),
      menTest1(menTest->addAction(QString())),
      FSetup(std::move(setup)),
      FStatusLabel(new QLabel(StatusBar1)),
      FSink(*this, [this](uint32_t code, int32_t value) { WMWorkerNotify(code, value); }) {
  buildControls();
  connectHandlers();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // No worker may outlive the window it posts to.
  if (FCommThread) {
    bCancel = true;
    FCommThread.reset();
  }
  if (FBusyCursor) QApplication::restoreOverrideCursor();
}

void TfrmMain::buildControls() {
  setObjectName("frmMain");
  Panel1->setObjectName("Panel1");
  Panel1->setFixedHeight(kPanelHeight);
  setCentralWidget(Panel1);
  auto* topLine = new QFrame(Panel1);
  topLine->setFrameShape(QFrame::HLine);
  topLine->setFrameShadow(QFrame::Sunken);
  topLine->setGeometry(0, 0, kClientWidth, 2);

  Label1->move(13, 14);
  cbxPort->setObjectName("cbxPort");
  cbxPort->setEditable(true);
  // The list shows the ports present; a typed name is used but not added.
  cbxPort->setInsertPolicy(QComboBox::NoInsert);
  cbxPort->setGeometry(77, 11, 263, cbxPort->sizeHint().height());
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  // The percentage goes to the title; the bar itself carries no text.
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setGeometry(13, 46, 327, 26);
  btnProg->setObjectName("btnProg");
  btnProg->setGeometry(40, 86, 111, 32);
  btnFile->setObjectName("btnFile");
  btnFile->setGeometry(40, 86, 55, 32);
  btnClose->setObjectName("btnClose");
  btnClose->setGeometry(200, 86, 111, 32);
  btnCancel->setObjectName("btnCancel");
  btnCancel->setGeometry(btnClose->geometry());
  chkReadInfoOnly->setObjectName("chkReadInfoOnly");
  chkReadInfoOnly->setGeometry(26, 134, std::max(116, chkReadInfoOnly->sizeHint().width()),
                               std::max(14, chkReadInfoOnly->sizeHint().height()));

  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->addWidget(FStatusLabel, 1);
  setStatusBar(StatusBar1);

  menInfo->setObjectName("menInfo");
  menTest->setObjectName("menTest");
}

void TfrmMain::connectHandlers() {
  const auto action = [this](void (TfrmMain::*handler)()) {
    return [this, handler] { runUserAction(this, [this, handler] { (this->*handler)(); }); };
  };
  connect(btnProg, &QPushButton::clicked, this, action(&TfrmMain::btnProgClick));
  connect(btnFile, &QPushButton::clicked, this, action(&TfrmMain::btnFileClick));
  connect(btnCancel, &QPushButton::clicked, this, action(&TfrmMain::btnCancelClick));
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
  connect(menFileExit, &QAction::triggered, this, &QWidget::close);
  connect(menTest1, &QAction::triggered, this, action(&TfrmMain::menTest1Click));
  connect(menInfoFirmware, &QAction::triggered, this, action(&TfrmMain::menInfoFirmwareClick));
  connect(menInfoFile, &QAction::triggered, this, action(&TfrmMain::menInfoFileClick));

  FRepeatTimer.setSingleShot(true);
  FRepeatTimer.setInterval(kRepeatDelayMs);
  connect(&FRepeatTimer, &QTimer::timeout, this, action(&TfrmMain::repeatJob));

  // The first moment the event loop has nothing to do.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TfrmMain::ApplicationEvents1Idle,
            Qt::SingleShotConnection);
  }
}

void TfrmMain::FormCreate() {
  setWindowTitle(kCaption);
  menInfo->setTitle(kInfoCaption);
  FOpenDialogDir = QFileInfo(FSetup.arguments.value(0)).absolutePath();

  const bool bInternal = FSetup.readInternalSwitch && FSetup.readInternalSwitch();
  chkReadInfoOnly->setChecked(false);
  chkReadInfoOnly->setVisible(bReadInfoOnlySupported && bInternal);
  applyRunOptions(FSetup.arguments, bInternal);
  layoutButtonRow();

  setFixedSize(kClientWidth,
               menuBar()->sizeHint().height() + kPanelHeight + StatusBar1->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  fillPortList();
  FPortWatcher = new TPortWatcher(FSetup.portRoots, this);
  connect(FPortWatcher, &TPortWatcher::devicesMayHaveChanged, this,
          [this] { runUserAction(this, [this] { WMDeviceChange(); }); });

  SetStatusText(bClearsMeasurements ? "F" : "");
  const bool bTestMenu = !sTestCaption.empty();
  menTest->menuAction()->setVisible(bTestMenu);
  menTest1->setText(toQt(sTestCaption));
  EndJob();
}

void TfrmMain::layoutButtonRow() {
  const bool bFiles = iInternalMode == 2;
  btnFile->setVisible(bFiles);
  menInfoFile->setVisible(bFiles);
  if (!bFiles) {
    btnProg->resize(btnClose->width(), btnProg->height());
    return;
  }
  btnProg->resize(btnClose->width() / 2, btnProg->height());
  btnFile->setGeometry(btnProg->x() + btnProg->width() + kRowButtonGap, btnProg->y(), btnClose->width() / 2,
                       btnProg->height());
}

void TfrmMain::fillPortList() {
  listSerialPorts(FPorts, FSetup.portRoots);
  fillPortItems(*cbxPort, FPorts, FSetup.portRoots);
  cbxPort->setCurrentIndex(FPorts.empty() ? -1 : 0);
}

void TfrmMain::attachForms(TfrmInfo* info, TfrmProtocol* protocol, TfrmMessage* message) {
  FInfo = info;
  FProtocol = protocol;
  FMessage = message;
}

// --- job control -----------------------------------------------------------

bool TfrmMain::isJobRunning() const { return FCommThread != nullptr || FRepeatTimer.isActive(); }

bool TfrmMain::PrepareJob(const QString& sFile) {
  if (FProtocol) FProtocol->Clear();
  selectedSource = -1;
  if (!sFile.isEmpty()) {
    // Running the built-in images instead of the chosen file would install
    // a firmware the user did not ask for: say what is wrong and stop.
    std::string sWhy;
    if (!loadUpdateFile(toLocalPath(sFile), &sWhy)) {
      showGeneralError(this, sWhy.empty() ? "The update file \"" + sFile + "\" cannot be read." : toQt(sWhy));
      return false;
    }
  }
  FPort = cbxPort->currentText();
  return true;
}

void TfrmMain::StartJob(TCmd cmd) { startJob(cmd, false); }

void TfrmMain::startJob(TCmd cmd, bool bCancelled) {
  if (CommThreadClass == nullptr) throw std::logic_error("No worker class is set.");
  const std::string sLine = startLine(PortText());
  AddReportLine(sLine);
  SetStatusText(sLine);
  bReadInfoOnly = chkReadInfoOnly->isChecked();
  SetProgressPosition(0);
  setBusyState(true);
  // Set before the worker exists, so that it sees the flag at its first
  // attempt.
  bCancel = bCancelled;
  try {
    FCommThread = CommThreadClass(FSink, cmd, FPort.toStdString());
  } catch (...) {
    EndJob();
    throw;
  }
}

void TfrmMain::EndJob() {
  setBusyState(false);
  // The worker has posted its final notification; this only joins its
  // thread, which has nothing left to do.
  FCommThread.reset();
  SetApplicationTitle(kCaption.toStdString());
}

void TfrmMain::setBusyState(bool bBusy) {
  btnProg->setEnabled(!bBusy);
  btnClose->setVisible(!bBusy);
  btnCancel->setVisible(bBusy);
  cbxPort->setEnabled(!bBusy);
  // The running worker reads the firmware source: nothing may load another
  // file or start a second job until it has finished.
  btnFile->setEnabled(!bBusy);
  menInfoFile->setEnabled(!bBusy);
  menTest1->setEnabled(!bBusy);
  if (bBusy && !FBusyCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
  if (!bBusy && FBusyCursor) QApplication::restoreOverrideCursor();
  FBusyCursor = bBusy;
}

void TfrmMain::RepeatAfterProgrammingError() { StartJob(TCmd::tCMD0); }

void TfrmMain::RepeatAfterCommFailure(TCmd cmd) {
  FRepeatCmd = cmd;
  // A Cancel pressed before the failure must still stop the next worker.
  FRepeatCancel = bCancel;
  FCommThread.reset();
  FRepeatTimer.start();
}

void TfrmMain::repeatJob() {
  startJob(FRepeatCmd, FRepeatCancel);
  while (!FDeferred.empty() && !FRepeatTimer.isActive()) {
    const TNotification next = FDeferred.front();
    FDeferred.pop_front();
    WMWorkerNotify(next.code, next.value);
  }
}

void TfrmMain::WMWorkerNotify(uint32_t code, int32_t value) {
  if (FClosing) return;
  if (FRepeatTimer.isActive()) {
    FDeferred.push_back({code, value});
    return;
  }
  runUserAction(this, [&] { kelvry::WMWorkerNotify(*this, code, value); });
}

// --- outputs ---------------------------------------------------------------

void TfrmMain::AddReportLine(const std::string& sText) {
  if (FProtocol) FProtocol->Add(toQt(sText));
}

void TfrmMain::SetStatusText(const std::string& sText) {
  const QString text = toQt(sText);
  FStatusLabel->setText(text);
  // A text longer than the bar can be read in full.
  StatusBar1->setToolTip(text);
}

void TfrmMain::ShowMessageText(const std::string& sText) {
  if (FMessage) {
    const QRect outline = frameGeometry();
    FMessage->showMsg(toQt(sText), outline.x(), outline.y(), outline.width(), outline.height());
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, kCaption, toQt(sText), QMessageBox::Ok, this);
  dialogHooks().execModal(box);
}

void TfrmMain::SetProgressPosition(int iPercent) { ProgressBar1->setValue(iPercent); }

int TfrmMain::ProgressPosition() const { return ProgressBar1->value(); }

void TfrmMain::SetApplicationTitle(const std::string& sTitle) {
  // The desktop lists the program by its main window's title, so that is
  // where the progress shows. Not the application's display name: the
  // desktop appends that to the title of every window, the report's and
  // the dialogs' included.
  setWindowTitle(toQt(sTitle));
}

void TfrmMain::Beep() { dialogHooks().beep(); }

std::string TfrmMain::PortText() const { return cbxPort->currentText().toStdString(); }

// --- event handlers --------------------------------------------------------

bool TfrmMain::askConfirmation(const QString& sQuestion) { return dialogHooks().confirm(this, sQuestion); }

void TfrmMain::btnProgClick() {
  if (isJobRunning()) return;
  if (bClearsMeasurements) {
    if (!askConfirmation(kQuestionClearsMeasurements)) return;
  } else if (iInternalMode == 0) {
    if (!askConfirmation(kQuestionSavedMeasurements)) return;
  }
  PrepareJob(QString());
  StartJob(TCmd::tCMD0);
}

void TfrmMain::btnFileClick() {
  if (isJobRunning()) return;
  const QString sFile = dialogHooks().chooseFile(this, FOpenDialogDir);
  if (sFile.isEmpty()) return;
  if (PrepareJob(sFile)) StartJob(TCmd::tCMD0);
}

void TfrmMain::btnCancelClick() {
  bCancel = true;
  if (FRepeatTimer.isActive()) FRepeatCancel = true;
}

void TfrmMain::menTest1Click() {
  if (isJobRunning()) return;
  PrepareJob(QString());
  StartJob(TCmd::tCMD_TEST);
}

void TfrmMain::menInfoFirmwareClick() {
  if (FInfo) FInfo->Execute(x(), y(), frameGeometry().height());
}

void TfrmMain::menInfoFileClick() {
  if (isJobRunning()) return;
  const QString sFile = dialogHooks().chooseFile(this, FOpenDialogDir);
  if (sFile.isEmpty() || !QFileInfo::exists(sFile)) return;
  readFileHeaderInfo(toLocalPath(sFile));
  menInfoFirmwareClick();
}

bool TfrmMain::FormCloseQuery() {
  if (!isJobRunning()) return true;
  if (!askConfirmation(kQuestionCloseWhileBusy)) return false;
  stopJobForClose();
  return true;
}

void TfrmMain::stopJobForClose() {
  // Let the worker end at its next attempt and wait for it, so that it
  // releases the port and nothing of it outlives the window. The pauses
  // of a job are short, so this takes a few seconds at most.
  FClosing = true;
  FRepeatTimer.stop();
  FDeferred.clear();
  bCancel = true;
  if (FCommThread) FCommThread->waitFor();
  EndJob();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  bool bClose = true;
  runUserAction(this, [&] { bClose = FormCloseQuery(); });
  if (!bClose) {
    event->ignore();
    return;
  }
  if (FProtocol) FProtocol->hide();
  event->accept();
}

void TfrmMain::ApplicationEvents1Idle() {
  if (FIdleDone) return;
  FIdleDone = true;
  if (FProtocol) FProtocol->setVisible(iInternalMode > 0);
}

void TfrmMain::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  dockReportWindow();
}

void TfrmMain::dockReportWindow() {
  if (!FProtocol) return;
  const QPoint below(x(), y() + frameGeometry().height());
  if (FProtocol->pos() != below) FProtocol->move(below);
}

void TfrmMain::WMDeviceChange() {
  std::vector<std::string> ports;
  listSerialPorts(ports, FSetup.portRoots);
  if (!isPortDeviceChange(FPorts, ports)) return;
  FPorts = std::move(ports);

  const QString sShown = cbxPort->currentText();
  fillPortItems(*cbxPort, FPorts, FSetup.portRoots);
  cbxPort->setCurrentIndex(-1);
  cbxPort->setEditText(sShown);

  // Show the user the new list, unless a job runs or another program has
  // the focus.
  if (!FSetup.isApplicationActive || !FSetup.isApplicationActive() || !cbxPort->isEnabled()) return;
  if (cbxPort->view()->isVisible()) cbxPort->hidePopup();
  cbxPort->repaint();
  cbxPort->showPopup();
}

}  // namespace kelvry
