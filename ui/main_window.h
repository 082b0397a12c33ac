#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>

#include "engine/notification_sink.h"
#include "firmware/firmware_sources.h"
#include "frontend/job_end_advice.h"
#include "frontend/job_notifications.h"
#include "frontend/job_session.h"
#include "frontend/platform_job_environment.h"
#include "frontend/run_options.h"
#include "frontend/time_left.h"
#include "serial/port_list.h"
#include "ui/dialog_hooks.h"
#include "ui/window_notification_sink.h"

namespace kelvry {

class TfrmInfo;
class TfrmMessage;
class TfrmProtocol;
class TPortWatcher;

// What the main window reads from its surroundings at start-up.
struct TMainWindowSetup {
  QStringList arguments;  // the command line, program name first
  std::function<bool()> readInternalSwitch;
  TPortListRoots portRoots;
  // True while one of the program's windows has the focus.
  std::function<bool()> isApplicationActive;
  // Where the window's jobs find their serial line: the platform's ports.
  TJobEnvironment jobEnvironment = platformJobEnvironment();
  // The clock the time left of an update is measured with.
  std::function<std::chrono::steady_clock::time_point()> steadyClock = std::chrono::steady_clock::now;
  // The caption of the Test menu item; empty hides the menu.
  std::string testCaption{};

  // The program's own command line, settings, /sys and /dev.
  static TMainWindowSetup fromProgram();
};

// The main window: the user picks a port and starts, watches, cancels and
// closes update jobs here. One worker runs per job; the window is busy from
// the job's start to the worker's final notification.
class TfrmMain : public QMainWindow, public IJobView {
  Q_OBJECT

public:
  explicit TfrmMain(TMainWindowSetup setup);
  ~TfrmMain() override;

  // Hands over the secondary windows, created hidden after this window.
  void attachForms(TfrmInfo* info, TfrmProtocol* protocol, TfrmMessage* message);

  // Job control. PrepareJob returns false when the chosen update file cannot
  // be used; the failure has then been shown and no job may start.
  bool PrepareJob(const QString& sFile);
  void StartJob(TCmd cmd);
  bool isJobRunning() const;

  // IJobView: the outputs the notification handler drives.
  void AddReportLine(const std::string& sText) override;
  void SetStatusText(const std::string& sText) override;
  void ShowMessageText(const std::string& sText) override;
  void ShowPortFailure(const std::string& sText, const std::string& sReason) override;
  void ShowCancelled(const std::string& sText) override;
  void ShowLineFailure(const std::string& sText, const std::string& sReason) override;
  void SetProgressPosition(int iPercent) override;
  int ProgressPosition() const override;
  void SetApplicationTitle(const std::string& sTitle) override;
  void Beep() override;
  std::string PortText() const override;
  TPortChooser PortChooser() const override { return TPortChooser::Window; }
  const TFirmwareSources& FirmwareSources() const override { return FSession.request().sources; }
  int32_t SelectedSource() const override {
    return FSession.running() ? FSession.selectedSource() : selectedSource;
  }
  TSerialFailure SerialFailure() const override { return FSession.lastResult().serialFailure; }
  void EndJob() override;
  void RepeatAfterProgrammingError() override;
  void RepeatAfterCommFailure(TCmd cmd) override;

  // One worker notification, on this window's thread (the sink queues them).
  void WMWorkerNotify(uint32_t code, int32_t value);
  INotificationSink& notificationSink() { return FSink; }

  // Event handlers.
  void btnProgClick();
  void btnFileClick();
  void btnCancelClick();
  void menTest1Click();
  void menInfoFirmwareClick();
  void menInfoFileClick();
  bool FormCloseQuery();
  void ApplicationEvents1Idle();
  void WMDeviceChange();

  QString statusText() const { return FStatusLabel->text(); }
  // The repeat count beside the status text, as the user sees it.
  QString repeatCountText() const { return FRepeatLabel->isHidden() ? QString() : FRepeatLabel->text(); }
  const QString& port() const { return FPort; }

  // The job, its worker and its cancel flag; tests replace its worker class.
  TJobSession& session() { return FSession; }
  const TRunOptions& runOptions() const { return FRunOptions; }
  // The source the overview shows first when it is 0 (the update file): the
  // file the last job used or whose version was shown, else -1 or the image
  // the last job chose.
  int32_t selectedSource = -1;

  // Controls, named as the user interface names them.
  QWidget* const Panel1;
  QLabel* const Label1;
  QComboBox* const cbxPort;
  QProgressBar* const ProgressBar1;
  QPushButton* const btnProg;
  QPushButton* const btnFile;
  QPushButton* const btnClose;
  QPushButton* const btnCancel;
  QCheckBox* const chkReadInfoOnly;
  QStatusBar* const StatusBar1;
  QMenu* const menInfo;
  QAction* const menInfoFirmware;
  QAction* const menInfoFile;
  QAction* const menFileExit;
  QMenu* const menTest;
  QAction* const menTest1;

  TfrmInfo* frmInfo() const { return FInfo; }
  TfrmProtocol* frmProtocol() const { return FProtocol; }
  TfrmMessage* frmMessage() const { return FMessage; }

protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void FormCreate();
  void buildControls();
  void connectHandlers();
  void layoutButtonRow();
  void fillPortList();
  void showNoPortHint();
  void setBusyState(bool bBusy);
  // How a job comes to start: by the user, or as an automatic repeat that
  // keeps a Cancel in force or clears it as a start by the user does.
  enum class TJobStart { ByUser, RepeatKeepingCancel, RepeatClearingCancel };
  void startJob(TCmd cmd, TJobStart how);
  void repeatJob();
  bool mayRepeat() const;
  void stopRepeating(const std::string& sAdvice);
  TLoggerPlace loggerPlace() const;
  void showWithAdvice(const std::string& sText, const std::string& sAdvice);
  bool portChosen();
  void activateAtStart();
  void showRepeatCount();
  void stopJobForClose();
  void withdrawStaleCloseQuestion();
  bool askConfirmation(const QString& sQuestion, TDefaultAnswer defaultAnswer = TDefaultAnswer::Yes);
  void dockReportWindow();
  void showTimeLeft(int iPercent);
  void clearTimeLeft();
  void followWindowState();

  TMainWindowSetup FSetup;
  // This run's switches, read from the command line and the internal-mode
  // setting when the window is made.
  TRunOptions FRunOptions;
  QLabel* const FStatusLabel;
  // How often the job was repeated in a row since the user's start; empty
  // and hidden when it was not.
  QLabel* const FRepeatLabel;
  // Escape cancels a running job; Return and Space on Cancel do not.
  QShortcut* const FCancelKey;
  // The job of the user's last start (or one of its repeats) began to erase
  // the logger: a cancel now leaves it waiting in its bootloader.
  bool FLoggerErased = false;
  // How long the programming still takes, from the percentages seen.
  TTimeLeft FTimeLeft;
  QString FPort;
  QString FOpenDialogDir;
  std::vector<std::string> FPorts;
  bool FIdleDone = false;
  bool FBusyCursor = false;
  bool FClosing = false;
  // The "not finished" question is open; it no longer applies once the job
  // has ended.
  bool FCloseQuestionOpen = false;

  // The repeat after a communication failure waits without blocking the
  // window: the job stays busy, the Cancel button still works, and
  // notifications that come in meanwhile wait for the new worker.
  QTimer FRepeatTimer;
  TCmd FRepeatCmd = TCmd::tCMD0;
  std::deque<TNotification> FDeferred;

  // The update file shown in the overview, and the firmware of the next job
  // (the file chosen for it, or the built-in images only).
  TFirmwareSources FFirmware;
  TFirmwareSources FJobFirmware;

  TfrmInfo* FInfo = nullptr;
  TfrmProtocol* FProtocol = nullptr;
  TfrmMessage* FMessage = nullptr;
  TPortWatcher* FPortWatcher = nullptr;

  // Declared before the session: its worker posts into it until it ends.
  TWindowNotificationSink FSink;
  TJobSession FSession{FSink, FSetup.jobEnvironment};
};

}  // namespace kelvry
