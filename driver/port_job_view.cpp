#include "driver/port_job_view.h"

#include "driver/exit_status.h"
#include "driver/image_digest.h"
#include "engine/status_codes.h"
#include "frontend/repeat_rules.h"
#include "frontend/report_line.h"
#include "frontend/text_format.h"

namespace kelvry {

namespace {

// Whether the port's new firmware was started: only then is there a
// logger "after".
bool firmwareStarted(int exitStatus) { return exitStatus == kExitSuccess || exitStatus == err::CancelledAfterStart; }

}  // namespace

TPortJobView::TPortJobView(TJobViewSettings settings, TJobSession& session, IRunOutput& output, size_t portIndex,
                           IClock& clock)
    : settings_(std::move(settings)), session_(session), output_(output), index_(portIndex), clock_(clock) {}

void TPortJobView::beginJob() {
  session_.release();
  const std::string text = startLine(settings_.portText);
  AddReportLine(text);
  SetStatusText(text);
  SetProgressPosition(0);
  busy_ = true;
  output_.jobRunning(index_, true);
  flush();
}

TUpdateRequest TPortJobView::requestFor(TCmd cmd) const {
  TUpdateRequest request = settings_.request;
  request.cmd = cmd;
  return request;
}

void TPortJobView::StartJob(TCmd cmd) {
  beginJob();
  // A signal that arrived before this start still counts: the session's new
  // token is born cancelled when the run's token is.
  session_.start(requestFor(cmd));
}

void TPortJobView::handle(const TNotification& notification) {
  pending_.notification = notification;
  if (settings_.trace) pending_.traces.push_back(format("notify %u %d", notification.code, notification.value));
  switch (notification.code) {
    case ntf::JobDone: exitStatus_ = kExitSuccess; break;
    case ntf::JobFailed: exitStatus_ = exitStatusForError(notification.value); break;
    case ntf::CommFailure: exitStatus_ = err::NoReply; break;
    default: break;
  }
  noteIdentity(notification);
  WMWorkerNotify(*this, notification.code, notification.value);
  noteChoice(notification);
  flush();
}

void TPortJobView::noteIdentity(const TNotification& notification) {
  const auto word = static_cast<uint16_t>(notification.value & 0xFFFF);
  if (notification.code == ntf::ClassWord) {
    if (!firstClass_) firstClass_ = word;
    lastClass_ = word;
  } else if (notification.code == ntf::VersionWord && !firstVersion_) {
    firstVersion_ = word;
    if (firstClass_) output_.logger(index_, loggerText(*firstClass_, *firstVersion_));
  }
}

void TPortJobView::noteChoice(const TNotification& notification) {
  if (notification.code != ntf::SourceSelected) return;
  FirmwareSources().getFirmwareHeader(static_cast<uint32_t>(SelectedSource()), chosenHeader_);
  chosenImage_ = imageText(chosenHeader_);
  chosenSource_ = SelectedSource();
}

TPortRecord TPortJobView::record() const {
  TPortRecord record;
  record.port = settings_.portText;
  record.usb = settings_.usb;
  if (firstClass_ && firstVersion_) record.loggerBefore = loggerText(*firstClass_, *firstVersion_);
  record.exitStatus = exitStatus_;
  if (firmwareStarted(record.exitStatus)) {
    record.image = chosenImage_;
    record.imageSha256 = imageSha256(FirmwareSources(), chosenSource_);
  }
  // The new firmware answers with its class; its version is the image's.
  // Error 21 skipped that answer.
  if (record.exitStatus == kExitSuccess && lastClass_)
    record.loggerAfter = loggerText(
        *lastClass_, static_cast<uint16_t>((chosenHeader_.tarvo_verH << 8) | (chosenHeader_.tarvo_verL & 0xFF)));
  record.resultText = lastMessage_;
  record.repeats = repeats();
  record.duration = std::chrono::steady_clock::now() - started_;
  return record;
}

void TPortJobView::AddReportLine(const std::string& sText) {
  pending_.report.emplace_back(stampedReportLine(sText), sText);
}

void TPortJobView::SetStatusText(const std::string& sText) { output_.status(index_, sText); }

void TPortJobView::ShowMessageText(const std::string& sText) {
  if (!pending_.report.empty() && pending_.report.back().second == sText) pending_.report.pop_back();
  pending_.messages.push_back(sText);
  lastMessage_ = sText;
}

void TPortJobView::ShowPortFailure(const std::string& sText, const std::string&) {
  AddReportLine(sText);
  SetStatusText(sText);
  ShowMessageText(sText);
}

void TPortJobView::SetProgressPosition(int iPercent) {
  position_ = iPercent;
  output_.progress(index_, iPercent);
}

// A terminal has no taskbar entry; the progress line already shows the
// percentage.
void TPortJobView::SetApplicationTitle(const std::string&) {}

void TPortJobView::Beep() { output_.beep(index_); }

void TPortJobView::EndJob() {
  busy_ = false;
  session_.release();
  output_.jobRunning(index_, false);
}

// A cancel asked for before the failure, or by a signal during the wait,
// stays in force: the repeated job stops at its first attempt.
void TPortJobView::RepeatAfterProgrammingError() {
  if (!mayRepeat()) {
    giveUp(kProgrammingErrorReason);
    return;
  }
  beginJob();
  session_.repeat(requestFor(TCmd::tCMD0));
}

void TPortJobView::RepeatAfterCommFailure(TCmd cmd) {
  if (!mayRepeat()) {
    EndJob();
    giveUp(kCommunicationErrorReason);
    return;
  }
  // The failure is out before the pause, not after it.
  flush();
  session_.pauseBeforeRepeat(clock_);
  beginJob();
  session_.repeat(requestFor(cmd));
}

bool TPortJobView::mayRepeat() const {
  return kelvry::mayRepeat(session_.repeats(), settings_.maxRepeats);
}

void TPortJobView::giveUp(const char* reason) {
  Beep();
  const int repeats = session_.repeats();
  ShowMessageText(gaveUpText(repeats, reason));
}

// Everything put out since the last flush leaves as one event.
void TPortJobView::flush() {
  if (!pending_.empty() || pending_.notification) output_.event(index_, pending_);
  pending_ = {};
}

}  // namespace kelvry
