#include "cli/terminal_job_view.h"

#include <ostream>

#include "cli/exit_status.h"
#include "engine/status_codes.h"
#include "frontend/report_line.h"

namespace kelvry::cli {

TTerminalJobView::TTerminalJobView(TJobViewSettings settings, TJobSession& session, std::ostream& out,
                                   TProgressLine& progress, IClock& clock)
    : settings_(std::move(settings)),
      session_(session),
      out_(out),
      progress_(progress),
      clock_(clock) {}

void TTerminalJobView::beginJob() {
  session_.release();
  const std::string text = startLine(settings_.portText);
  AddReportLine(text);
  SetStatusText(text);
  SetProgressPosition(0);
  busy_ = true;
  flush();
}

TUpdateRequest TTerminalJobView::requestFor(TCmd cmd) const {
  TUpdateRequest request = settings_.request;
  request.cmd = cmd;
  return request;
}

void TTerminalJobView::StartJob(TCmd cmd) {
  beginJob();
  // A signal that arrived before this start still counts: the session's new
  // token is born cancelled when the run's token is.
  session_.start(requestFor(cmd));
}

void TTerminalJobView::handle(const TNotification& notification) {
  if (settings_.trace) writeTraceLine(format("notify %u %d", notification.code, notification.value));
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

void TTerminalJobView::ShowPortFailure(const std::string& sText, const std::string&) {
  AddReportLine(sText);
  SetStatusText(sText);
  ShowMessageText(sText);
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
  session_.release();
  progress_.hide();
}

// A cancel asked for before the failure, or by a signal during the wait,
// stays in force: the repeated job stops at its first attempt.
void TTerminalJobView::RepeatAfterProgrammingError() {
  if (!mayRepeat()) {
    giveUp("programming error");
    return;
  }
  beginJob();
  session_.repeat(requestFor(TCmd::tCMD0));
}

void TTerminalJobView::RepeatAfterCommFailure(TCmd cmd) {
  if (!mayRepeat()) {
    EndJob();
    giveUp("communication error");
    return;
  }
  flush();
  session_.pauseBeforeRepeat(clock_);
  beginJob();
  session_.repeat(requestFor(cmd));
}

bool TTerminalJobView::mayRepeat() const {
  return !settings_.maxRepeats || session_.repeats() < *settings_.maxRepeats;
}

void TTerminalJobView::giveUp(const char* reason) {
  Beep();
  const int repeats = session_.repeats();
  ShowMessageText(format("Gave up after %d repeat%s: %s!", repeats, repeats == 1 ? "" : "s", reason));
}

void TTerminalJobView::printLine(const std::string& line) {
  progress_.hide();
  out_ << line << std::endl;
  if (busy_) progress_.show();
}

void TTerminalJobView::writeReportLine(const std::string& stampedLine, const std::string&) { printLine(stampedLine); }

void TTerminalJobView::writeMessage(const std::string& sText) { printLine(sText); }

void TTerminalJobView::writeTraceLine(const std::string& line) { printLine(line); }

void TTerminalJobView::flush() {
  for (const auto& line : pendingReport_) writeReportLine(line.first, line.second);
  for (const auto& message : pendingMessages_) writeMessage(message);
  pendingReport_.clear();
  pendingMessages_.clear();
  if (busy_) progress_.show();
}

}  // namespace kelvry::cli
