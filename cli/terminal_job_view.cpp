#include "cli/terminal_job_view.h"

#include <QTime>

#include <ostream>

#include "cli/exit_status.h"
#include "engine/comm_thread.h"
#include "engine/status_codes.h"

namespace kelvry::cli {

namespace {
// The window waits this long before it repeats a job after a communication
// failure, to give the logger time to settle.
constexpr std::chrono::milliseconds kCommRepeatDelay{1500};
}  // namespace

std::string stampedReportLine(const std::string& sText) {
  return QTime::currentTime().toString("hh-mm-ss").toStdString() + " -> " + sText;
}

TTerminalJobView::TTerminalJobView(TJobViewSettings settings, TJobHooks hooks,
                                   const std::atomic<bool>& cancelRequested, std::ostream& out,
                                   TProgressLine& progress)
    : settings_(std::move(settings)),
      hooks_(std::move(hooks)),
      cancelRequested_(cancelRequested),
      out_(out),
      progress_(progress) {}

void TTerminalJobView::StartJob(TCmd cmd) {
  hooks_.releaseWorker();
  const std::string text = startLine(settings_.portText);
  AddReportLine(text);
  SetStatusText(text);
  SetProgressPosition(0);
  busy_ = true;
  bCancel = false;
  // A signal that arrived before this start still counts: the user asked to
  // stop, not to stop only the job that happened to run.
  if (cancelRequested_) bCancel = true;
  flush();
  hooks_.startWorker(cmd);
}

void TTerminalJobView::handle(const TNotification& notification) {
  if (settings_.trace) printLine(format("notify %u %d", notification.code, notification.value));
  switch (notification.code) {
    case ntf::JobDone: exitStatus_ = kExitSuccess; break;
    case ntf::JobFailed: exitStatus_ = exitStatusForError(notification.value); break;
    case ntf::CommFailure: exitStatus_ = err::NoReply; break;
    default: break;
  }
  WMWorkerNotify(*this, notification.code, notification.value);
  flush();
}

void TTerminalJobView::AddReportLine(const std::string& sText) {
  pendingReport_.emplace_back(stampedReportLine(sText), sText);
}

void TTerminalJobView::SetStatusText(const std::string& sText) { progress_.setStatus(sText); }

void TTerminalJobView::ShowMessageText(const std::string& sText) {
  if (!pendingReport_.empty() && pendingReport_.back().second == sText) pendingReport_.pop_back();
  pendingMessages_.push_back(sText);
}

void TTerminalJobView::SetProgressPosition(int iPercent) {
  position_ = iPercent;
  progress_.setPercent(iPercent);
}

// A terminal has no taskbar entry; the progress line already shows the
// percentage.
void TTerminalJobView::SetApplicationTitle(const std::string&) {}

void TTerminalJobView::Beep() { progress_.beep(); }

void TTerminalJobView::EndJob() {
  busy_ = false;
  hooks_.releaseWorker();
  progress_.hide();
}

void TTerminalJobView::RepeatAfterProgrammingError() {
  if (!mayRepeat()) {
    giveUp("programming error");
    return;
  }
  ++repeats_;
  StartJob(TCmd::tCMD0);
}

void TTerminalJobView::RepeatAfterCommFailure(TCmd cmd) {
  if (!mayRepeat()) {
    EndJob();
    giveUp("communication error");
    return;
  }
  ++repeats_;
  flush();
  const bool cancelBefore = bCancel;
  hooks_.pause(kCommRepeatDelay);
  StartJob(cmd);
  // A cancel asked for before the failure stops the new worker at its first
  // attempt, as one asked for during the wait does.
  if (cancelBefore || cancelRequested_) bCancel = true;
}

bool TTerminalJobView::mayRepeat() const { return !settings_.maxRepeats || repeats_ < *settings_.maxRepeats; }

void TTerminalJobView::giveUp(const char* reason) {
  Beep();
  ShowMessageText(format("Gave up after %d repeat%s: %s!", repeats_, repeats_ == 1 ? "" : "s", reason));
}

void TTerminalJobView::printLine(const std::string& line) {
  progress_.hide();
  out_ << line << std::endl;
  if (busy_) progress_.show();
}

void TTerminalJobView::flush() {
  for (const auto& line : pendingReport_) printLine(line.first);
  for (const auto& message : pendingMessages_) printLine(message);
  pendingReport_.clear();
  pendingMessages_.clear();
  if (busy_) progress_.show();
}

}  // namespace kelvry::cli
