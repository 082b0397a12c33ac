#include "ui/main_window.h"

#include <algorithm>
#include <stdexcept>

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMoveEvent>
#include <QScopeGuard>

#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "frontend/text_format.h"
#include "ui/click_only_keys.h"
#include "ui/control_metrics.h"
#include "ui/dialog_hooks.h"
#include "ui/error_handler.h"
#include "ui/info_window.h"
#include "ui/message_window.h"
#include "ui/port_box_items.h"
#include "ui/port_watcher.h"
#include "ui/protocol_window.h"
#include "frontend/internal_switch_qsettings.h"
#include "frontend/typed_port_name.h"
#include "frontend/job_request.h"
#include "frontend/repeat_rules.h"
#include "frontend/run_options.h"
#include "frontend/update_question.h"
#include "ui/window_docking.h"

namespace kelvry {

namespace {

const QString kCaption = "Kelvry Firmware Update";
// An ampersand marks the letter that, with Alt, chooses the control; the
// caption shows without it.
const QString kInfoCaption = "&Info 2024-04-04";
// Shown in the empty port box, so that an empty list does not look like a
// fault of the window.
const QString kNoUsbPort = "No USB serial port found";
const QString kQuestionCloseWhileBusy = "The update is not finished!\r\nDo you really close the program ?";

constexpr int kClientWidth = 355;
constexpr int kReportHeight = 141;
constexpr int kPanelHeight = 161;
constexpr int kRowButtonGap = 8;

QString toQt(const std::string& text) { return QString::fromStdString(text); }

// File names reach the catalogue in UTF-8, as every text of the program: the
// reader spells them for the system (UTF-16 on Windows, whatever its code page).
std::string utf8PathText(const QString& file) { return file.toStdString(); }

TArguments utf8Arguments(const QStringList& arguments) {
  TArguments words;
  for (const QString& argument : arguments) words.push_back(argument.toStdString());
  return words;
}

// How long after the report appears its activation is still the window
// system's: it comes within moments (about 10 ms under Wine). Kept short,
// because a technician who picks the report a second after start must keep
// it: taking that activation back would send the next key, Alt+F4 too, to
// the main window.
constexpr qint64 kShowActivationMs = 500;

// Watches the report as it appears at start. Some window systems hand it the
// activation only once they have processed its appearance, after the main
// window took the activation back (Wine under an X window manager, when
// the X server has mapped it): `takeBack` then runs, once that activation
// has been delivered. Its task ends at the report's first activation; a
// later one is the user's.
class TReportShowActivation : public QObject {
public:
  TReportShowActivation(QWidget& report, QWidget& owner, std::function<void()> takeBack)
      : QObject(&owner), FReport(&report), FTakeBack(std::move(takeBack)) {
    FSinceShow.start();
    report.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == FReport && event->type() == QEvent::WindowActivate) {
      FReport->removeEventFilter(this);
      if (FSinceShow.elapsed() < kShowActivationMs) QTimer::singleShot(0, parent(), FTakeBack);
      deleteLater();
    }
    return false;
  }

private:
  QObject* const FReport;
  const std::function<void()> FTakeBack;
  QElapsedTimer FSinceShow;
};

}  // namespace

TMainWindowSetup TMainWindowSetup::fromProgram() {
  return TMainWindowSetup{
      .arguments = QCoreApplication::arguments(),
      .readInternalSwitch = readInternalSwitchWithQSettings,
      .portRoots = TPortListRoots{},
      .isApplicationActive = [] { return QGuiApplication::applicationState() == Qt::ApplicationActive; },
  };
}

TfrmMain::TfrmMain(TMainWindowSetup setup)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      Panel1(new QWidget(this)),
      Label1(new QLabel("Com&port:", Panel1)),
      cbxPort(new QComboBox(Panel1)),
      ProgressBar1(new QProgressBar(Panel1)),
      btnProg(new QPushButton("&Update", Panel1)),
      btnFile(new QPushButton("&File", Panel1)),
      btnClose(new QPushButton("&Close", Panel1)),
      // Shown only in the place of Close, so the two share their letter.
      btnCancel(new QPushButton("&Cancel", Panel1)),
      chkReadInfoOnly(new QCheckBox("&Read info only", Panel1)),
      StatusBar1(new QStatusBar(this)),
      menInfo(menuBar()->addMenu(kInfoCaption)),
      menInfoFirmware(menInfo->addAction("&Firmware")),
      menInfoFile(menInfo->addAction("File &version")),
      menFileExit((menInfo->addSeparator(), menInfo->addAction("E&xit"))),
      menTest(menuBar()->addMenu("&Test")),
      menTest1(menTest->addAction(QString())),
      FSetup(std::move(setup)),
      FStatusLabel(new QLabel(StatusBar1)),
      FRepeatLabel(new QLabel(StatusBar1)),
      FCancelKey(new QShortcut(QKeySequence(Qt::Key_Escape), this)),
      FSink(*this, [this](uint32_t code, int32_t value) { WMWorkerNotify(code, value); }) {
  buildControls();
  connectHandlers();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // No worker may outlive the window it posts to.
  if (FSession.running()) {
    FSession.cancel();
    FSession.release();
  }
  if (FBusyCursor) QApplication::restoreOverrideCursor();
}

void TfrmMain::buildControls() {
  setObjectName("frmMain");
  const TControlMetrics m(font());
  Panel1->setObjectName("Panel1");
  Panel1->setFixedHeight(m.px(kPanelHeight));
  setCentralWidget(Panel1);
  auto* topLine = new QFrame(Panel1);
  topLine->setFrameShape(QFrame::HLine);
  topLine->setFrameShadow(QFrame::Sunken);
  topLine->setGeometry(0, 0, m.px(kClientWidth), 2);

  Label1->move(m.px(13), m.px(14));
  // With its buddy the label shows its Alt letter underlined instead of an
  // ampersand, and is measured so, in the font it will be drawn with.
  Label1->setBuddy(cbxPort);
  Label1->ensurePolished();
  Label1->resize(Label1->sizeHint());
  cbxPort->setObjectName("cbxPort");
  cbxPort->setEditable(true);
  // The list shows the ports present; a typed name is used but not added.
  cbxPort->setInsertPolicy(QComboBox::NoInsert);
  // The box starts where the label ends, whatever the label's font needs.
  const int portLeft = std::max(m.px(77), Label1->x() + Label1->width() + m.px(4));
  cbxPort->setGeometry(portLeft, m.px(11), m.px(340) - portLeft, cbxPort->sizeHint().height());
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  // The percentage goes to the title; the bar itself carries only the time
  // left of an update, once there is an estimate.
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setGeometry(m.rect(13, 46, 327, 26));
  btnProg->setObjectName("btnProg");
  btnProg->setGeometry(m.rect(40, 86, 111, 32));
  btnFile->setObjectName("btnFile");
  btnFile->setGeometry(m.rect(40, 86, 55, 32));
  btnClose->setObjectName("btnClose");
  btnClose->setGeometry(m.rect(200, 86, 111, 32));
  btnCancel->setObjectName("btnCancel");
  btnCancel->setGeometry(btnClose->geometry());
  // Return presses the button that has the focus, as Space does.
  for (QPushButton* button : {btnProg, btnFile, btnClose, btnCancel}) button->setAutoDefault(true);
  // But not Cancel: the focus rests there while a job runs, and one stray
  // Return after Update would leave an erased logger. A click, Alt+C or
  // Escape cancels.
  ignoreActivationKeys(*btnCancel);
  chkReadInfoOnly->setObjectName("chkReadInfoOnly");
  chkReadInfoOnly->setGeometry(m.px(26), m.px(134), std::max(m.px(116), chkReadInfoOnly->sizeHint().width()),
                               std::max(m.px(14), chkReadInfoOnly->sizeHint().height()));

  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  // A long status text gives way (its tooltip shows it whole); the repeat
  // count beside it is short and is read whole at any size and scale.
  FStatusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  StatusBar1->addWidget(FStatusLabel, 1);
  FRepeatLabel->setObjectName("lblRepeats");
  FRepeatLabel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  StatusBar1->addPermanentWidget(FRepeatLabel);
  FRepeatLabel->hide();
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
  FCancelKey->setEnabled(false);
  connect(FCancelKey, &QShortcut::activated, btnCancel, &QPushButton::click);
  connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
  connect(menFileExit, &QAction::triggered, this, &QWidget::close);
  connect(menTest1, &QAction::triggered, this, action(&TfrmMain::menTest1Click));
  connect(menInfoFirmware, &QAction::triggered, this, action(&TfrmMain::menInfoFirmwareClick));
  connect(menInfoFile, &QAction::triggered, this, action(&TfrmMain::menInfoFileClick));

  FRepeatTimer.setSingleShot(true);
  FRepeatTimer.setInterval(TJobSession::kCommFailureRepeatDelay);
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
  FRunOptions = runOptionsFrom(utf8Arguments(FSetup.arguments), bInternal);
  FRunOptions.sTestCaption = FSetup.testCaption;
  layoutButtonRow();

  const TControlMetrics m(font());
  setFixedSize(m.px(kClientWidth),
               menuBar()->sizeHint().height() + Panel1->height() + StatusBar1->sizeHint().height());
  // Centred together with the report that will show below it, so that
  // neither reaches past the screen, at any scale.
  const int reportHeight = FRunOptions.iInternalMode > 0 ? m.px(kReportHeight) : 0;
  move(startPlaceOfGroup(availableAreaFor(*this), size(), reportHeight));

  fillPortList();
  // A port name typed at once goes into the box.
  cbxPort->setFocus();
  FPortWatcher = new TPortWatcher(FSetup.portRoots, this);
  connect(FPortWatcher, &TPortWatcher::devicesMayHaveChanged, this,
          [this] { runUserAction(this, [this] { WMDeviceChange(); }); });

  SetStatusText(FRunOptions.bClearsMeasurements ? "F" : "");
  const bool bTestMenu = !FRunOptions.sTestCaption.empty();
  menTest->menuAction()->setVisible(bTestMenu);
  menTest1->setText(toQt(FRunOptions.sTestCaption));
  EndJob();
}

void TfrmMain::layoutButtonRow() {
  const bool bFiles = FRunOptions.iInternalMode == 2;
  btnFile->setVisible(bFiles);
  menInfoFile->setVisible(bFiles);
  if (!bFiles) {
    btnProg->resize(btnClose->width(), btnProg->height());
    return;
  }
  btnProg->resize(btnClose->width() / 2, btnProg->height());
  btnFile->setGeometry(btnProg->x() + btnProg->width() + TControlMetrics(font()).px(kRowButtonGap), btnProg->y(),
                       btnClose->width() / 2, btnProg->height());
}

void TfrmMain::fillPortList() {
  listSerialPorts(FPorts, FSetup.portRoots);
  fillPortItems(*cbxPort, FPorts, FSetup.portRoots);
  cbxPort->setCurrentIndex(FPorts.empty() ? -1 : 0);
  showNoPortHint();
}

void TfrmMain::showNoPortHint() { cbxPort->lineEdit()->setPlaceholderText(FPorts.empty() ? kNoUsbPort : QString()); }

void TfrmMain::attachForms(TfrmInfo* info, TfrmProtocol* protocol, TfrmMessage* message) {
  FInfo = info;
  FProtocol = protocol;
  FMessage = message;
}

// --- job control -----------------------------------------------------------

bool TfrmMain::isJobRunning() const { return FSession.running() || FRepeatTimer.isActive(); }

bool TfrmMain::PrepareJob(const QString& sFile) {
  if (FProtocol) FProtocol->Clear();
  selectedSource = -1;
  FJobFirmware = TFirmwareSources{};
  if (!sFile.isEmpty()) {
    // Running the built-in images instead of the chosen file would install
    // a firmware the user did not ask for: say what is wrong and stop. The
    // messages name the path as the platform writes it (backslashes on
    // Windows), whoever chose it.
    const QString sPath = QDir::toNativeSeparators(sFile);
    std::string sWhy;
    std::optional<TUpdateFile> file = loadUpdateFile(utf8PathText(sPath), &sWhy);
    if (!file) {
      showGeneralError(this, sWhy.empty() ? "The update file \"" + sPath + "\" cannot be read." : toQt(sWhy));
      return false;
    }
    FFirmware = TFirmwareSources(std::make_shared<const TUpdateFile>(std::move(*file)));
    FJobFirmware = FFirmware;
    selectedSource = 0;
  }
  // The box shows the name the job uses, without what a paste brought along.
  FPort = QString::fromStdString(PortText());
  if (cbxPort->currentText() != FPort) cbxPort->setEditText(FPort);
  return true;
}

void TfrmMain::StartJob(TCmd cmd) {
  FLoggerErased = false;
  startJob(cmd, TJobStart::ByUser);
}

void TfrmMain::startJob(TCmd cmd, TJobStart how) {
  const std::string sLine = startLine(PortText());
  AddReportLine(sLine);
  SetStatusText(sLine);
  SetProgressPosition(0);
  // A repeated job starts again at 0; the last job's percentage is stale.
  SetApplicationTitle(kCaption.toStdString());
  setBusyState(true);
  TUpdateRequest request = jobRequest(FPort.toStdString(), cmd, chkReadInfoOnly->isChecked(), FJobFirmware,
                                      FRunOptions.jobChecks());
  try {
    switch (how) {
      case TJobStart::ByUser: FSession.start(std::move(request)); break;
      // A Cancel pressed before the failure or during the wait stays in force.
      case TJobStart::RepeatKeepingCancel: FSession.repeat(std::move(request)); break;
      case TJobStart::RepeatClearingCancel: FSession.repeatWithFreshCancel(std::move(request)); break;
    }
  } catch (...) {
    EndJob();
    throw;
  }
  showRepeatCount();
}

void TfrmMain::showRepeatCount() {
  const int repeats = FSession.repeats();
  FRepeatLabel->setText(repeats > 0 ? toQt(kelvry::repeatCountText(repeats, kDefaultMaxRepeats)) : QString());
  FRepeatLabel->setVisible(repeats > 0);
}

TLoggerPlace TfrmMain::loggerPlace() const {
  return FLoggerErased ? TLoggerPlace::Bootloader : TLoggerPlace::Application;
}

void TfrmMain::EndJob() {
  setBusyState(false);
  // The count belongs to the job; left beside "succesfully completed." it
  // would read as a repeat still to come. The closing message says how
  // often a job that failed was repeated.
  FRepeatLabel->clear();
  FRepeatLabel->hide();
  // A job that ended early leaves no estimate for work that will not come.
  clearTimeLeft();
  // The worker has posted its final notification; this only joins its
  // thread, which has nothing left to do.
  if (FSession.running()) {
    FSession.release();
    selectedSource = FSession.selectedSource();
  }
  SetApplicationTitle(kCaption.toStdString());
}

void TfrmMain::setBusyState(bool bBusy) {
  const bool bCancelHadFocus = focusWidget() == btnCancel;
  // Cancel first: the focus must not pass through "Read info only" on its
  // way, where a stray Space would change the next job.
  btnCancel->setVisible(bBusy);
  if (bBusy) btnCancel->setFocus();
  FCancelKey->setEnabled(bBusy);
  btnProg->setEnabled(!bBusy);
  btnClose->setVisible(!bBusy);
  if (!bBusy && bCancelHadFocus) btnProg->setFocus();
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

// The job is started again as a new start, but it counts as a repeat of the
// user's start: a logger whose read-back always fails would otherwise be
// erased again and again, a few times a second, until someone noticed.
void TfrmMain::RepeatAfterProgrammingError() {
  if (!mayRepeat()) {
    stopRepeating(readBackAdvice(loggerPlace()));
    return;
  }
  startJob(TCmd::tCMD0, TJobStart::RepeatClearingCancel);
}

void TfrmMain::RepeatAfterCommFailure(TCmd cmd) {
  if (!mayRepeat()) {
    EndJob();
    Beep();
    // A Cancel pressed just before the failure is what the user asked for.
    if (FSession.cancelled())
      ShowCancelled(errorText(err::Cancelled, PortText()));
    else
      stopRepeating(noAnswerAdvice(loggerPlace()));
    return;
  }
  FRepeatCmd = cmd;
  FSession.release();
  clearTimeLeft();
  // A Cancel pressed before the failure ends the wait at once.
  if (FSession.cancelled()) {
    repeatJob();
    return;
  }
  FRepeatTimer.start();
}

bool TfrmMain::mayRepeat() const { return kelvry::mayRepeat(FSession.repeats(), kDefaultMaxRepeats); }

// The same failure so often in a row is no disturbed line any more: a
// person has to look at the logger and its cable before the next try.
void TfrmMain::stopRepeating(const std::string& sAdvice) {
  showWithAdvice(stoppedRepeatingText(FSession.repeats()), sAdvice);
}

void TfrmMain::repeatJob() {
  FRepeatTimer.stop();
  startJob(FRepeatCmd, TJobStart::RepeatKeepingCancel);
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
  if (code == ntf::SourceSelected) FLoggerErased = true;
  runUserAction(this, [&] { kelvry::WMWorkerNotify(*this, code, value); });
  // A job that ended without a closing message (a test run).
  withdrawStaleCloseQuestion();
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

// The job's own text first, kept as it is, then why and what to do.
void TfrmMain::showWithAdvice(const std::string& sText, const std::string& sAdvice) {
  AddReportLine(sText);
  AddReportLine(sAdvice);
  SetStatusText(sText);
  ShowMessageText(sText + "\r\n" + sAdvice);
}

void TfrmMain::ShowPortFailure(const std::string& sText, const std::string& sReason) {
  showWithAdvice(sText, sReason);
}

// A pulled cable must not leave the user guessing whether the logger still
// works: say where it is and that the update can simply be run again.
void TfrmMain::ShowLineFailure(const std::string& sText, const std::string& sReason) {
  if (!sReason.empty()) AddReportLine(sReason);
  showWithAdvice(sText, lineLostAdvice(SerialFailure(), loggerPlace()));
}

// Once the erase has begun the logger holds no complete application any
// more; the user must know that this is safe and what to do next.
void TfrmMain::ShowCancelled(const std::string& sText) {
  if (!FLoggerErased) {
    IJobView::ShowCancelled(sText);
    return;
  }
  showWithAdvice(sText, "The logger waits in its bootloader: the update can simply be started again.");
}

void TfrmMain::ShowMessageText(const std::string& sText) {
  // The closing message must not show under a question about a job that
  // is over.
  withdrawStaleCloseQuestion();
  if (FMessage) {
    const QRect outline = frameGeometry();
    FMessage->showMsg(toQt(sText), outline.x(), outline.y(), outline.width(), outline.height());
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, kCaption, toQt(sText), QMessageBox::Ok, this);
  dialogHooks().execModal(box);
}

void TfrmMain::SetProgressPosition(int iPercent) {
  ProgressBar1->setValue(iPercent);
  showTimeLeft(iPercent);
}

// The estimate the command line shows beside its bar, here in the bar
// itself: the percentage goes to the title and the status line carries
// the job's own texts, so it changes neither.
void TfrmMain::showTimeLeft(int iPercent) {
  FTimeLeft.update(iPercent, FSetup.steadyClock());
  const QString text = toQt(timeLeftText(FTimeLeft.left()));
  ProgressBar1->setFormat(text);
  ProgressBar1->setTextVisible(!text.isEmpty());
}

void TfrmMain::clearTimeLeft() {
  FTimeLeft = TTimeLeft{};
  ProgressBar1->setFormat(QString());
  ProgressBar1->setTextVisible(false);
}

int TfrmMain::ProgressPosition() const { return ProgressBar1->value(); }

void TfrmMain::SetApplicationTitle(const std::string& sTitle) {
  // The desktop lists the program by its main window's title, so that is
  // where the progress shows. Not the application's display name: the
  // desktop appends that to the title of every window, the report's and
  // the dialogs' included.
  setWindowTitle(toQt(sTitle));
}

void TfrmMain::Beep() { dialogHooks().beep(); }

std::string TfrmMain::PortText() const { return typedPortName(cbxPort->currentText().toStdString()); }

// --- event handlers --------------------------------------------------------

bool TfrmMain::askConfirmation(const QString& sQuestion, TDefaultAnswer defaultAnswer) {
  return dialogHooks().confirm(this, sQuestion, defaultAnswer);
}

// A job without a port could only fail; the user hears so before being
// asked about the measurements, and the focus goes where the port is typed.
bool TfrmMain::portChosen() {
  if (!PortText().empty()) return true;
  const std::string sText = portOpenAdvice(PortText(), TPortOpenError{}, TPortChooser::Window);
  SetStatusText(sText);
  ShowMessageText(sText);
  cbxPort->setFocus();
  return false;
}

void TfrmMain::btnProgClick() {
  if (isJobRunning() || !portChosen()) return;
  const std::string sQuestion = confirmationQuestion(FRunOptions.bClearsMeasurements, FRunOptions.iInternalMode);
  if (!sQuestion.empty() && !askConfirmation(toQt(sQuestion))) return;
  PrepareJob(QString());
  StartJob(TCmd::tCMD0);
}

void TfrmMain::btnFileClick() {
  if (isJobRunning() || !portChosen()) return;
  const QString sFile = dialogHooks().chooseFile(this, FOpenDialogDir);
  if (sFile.isEmpty()) return;
  if (PrepareJob(sFile)) StartJob(TCmd::tCMD0);
}

void TfrmMain::btnCancelClick() {
  FSession.cancel();
  // Every wait ends at once on Cancel, the one before a repeat too: the new
  // worker stops at its first attempt with "Process cancelled!".
  if (FRepeatTimer.isActive()) repeatJob();
}

void TfrmMain::menTest1Click() {
  if (isJobRunning() || !portChosen()) return;
  PrepareJob(QString());
  StartJob(TCmd::tCMD_TEST);
}

void TfrmMain::menInfoFirmwareClick() {
  if (!FInfo) return;
  FInfo->setFirmware(FFirmware, selectedSource);
  FInfo->Execute(x(), y(), frameGeometry().height());
}

void TfrmMain::menInfoFileClick() {
  if (isJobRunning()) return;
  const QString sFile = dialogHooks().chooseFile(this, FOpenDialogDir);
  if (sFile.isEmpty() || !QFileInfo::exists(sFile)) return;
  auto file = std::make_shared<TUpdateFile>();
  file->header = readFileHeaderInfo(utf8PathText(QDir::toNativeSeparators(sFile)));
  FFirmware = TFirmwareSources(std::move(file));
  selectedSource = 0;
  menInfoFirmwareClick();
}

bool TfrmMain::FormCloseQuery() {
  if (!isJobRunning()) return true;
  FCloseQuestionOpen = true;
  const auto questionClosed = qScopeGuard([this] { FCloseQuestionOpen = false; });
  // A reflexive Enter must not abandon a running update. A question
  // withdrawn because the job ended answers No as well: the window stays
  // and shows how the job went.
  if (!askConfirmation(kQuestionCloseWhileBusy, TDefaultAnswer::No)) return false;
  stopJobForClose();
  return true;
}

void TfrmMain::withdrawStaleCloseQuestion() {
  if (!FCloseQuestionOpen || isJobRunning()) return;
  FCloseQuestionOpen = false;
  if (dialogHooks().withdrawQuestion) dialogHooks().withdrawQuestion();
}

void TfrmMain::stopJobForClose() {
  // Let the worker end at its next attempt and wait for it, so that it
  // releases the port and nothing of it outlives the window. The pauses
  // of a job are short, so this takes a few seconds at most.
  FClosing = true;
  FRepeatTimer.stop();
  FDeferred.clear();
  FSession.cancel();
  FSession.release();
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
  if (!FProtocol) return;
  dockReportWindow();
  if (FRunOptions.iInternalMode > 0 && isVisible()) {
    new TReportShowActivation(*FProtocol, *this, [this] {
      // Unless the user went to another window meanwhile.
      if (QApplication::activeWindow() == FProtocol) activateAtStart();
    });
  }
  FProtocol->setVisible(FRunOptions.iInternalMode > 0);
  activateAtStart();
}

// A port name typed at once goes into the box. Some platforms hand the
// activation to the report as it appears, though it asks them not to
// (Windows at start-up, the offscreen platform always), so the main window
// takes it back: here, and again if the report gets it only later.
void TfrmMain::activateAtStart() {
  if (!isVisible() || FRunOptions.iInternalMode == 0) return;
  activateWindow();
  cbxPort->setFocus();
}

void TfrmMain::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  dockReportWindow();
}

void TfrmMain::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) followWindowState();
}

// The report belongs to this window: minimised, the window takes it along
// instead of leaving it alone on the desktop, and brings it back docked
// below itself when restored. Not every window manager does so with a
// transient window by itself.
void TfrmMain::followWindowState() {
  if (!FProtocol || !FIdleDone || FRunOptions.iInternalMode == 0) return;
  if (isMinimized()) {
    FProtocol->hide();
    return;
  }
  dockReportWindow();
  FProtocol->show();
}

void TfrmMain::dockReportWindow() {
  if (FProtocol) dockBelow(*FProtocol, *this, FProtocol->minimumDockedHeight());
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
  showNoPortHint();

  // Show the user the new list, unless a job runs or another program has
  // the focus.
  if (!FSetup.isApplicationActive || !FSetup.isApplicationActive() || !cbxPort->isEnabled()) return;
  if (cbxPort->view()->isVisible()) cbxPort->hidePopup();
  cbxPort->repaint();
  cbxPort->showPopup();
}

}  // namespace kelvry
