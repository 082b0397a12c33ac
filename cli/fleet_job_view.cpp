#include "cli/fleet_job_view.h"

#include "cli/exit_status.h"
#include "engine/status_codes.h"
#include "firmware/bl3_file_header.h"
#include "firmware/identity_names.h"
#include "frontend/job_notifications.h"

namespace kelvry::cli {

namespace {

// "Kelvry V2.92 PR56": the firmware a header describes, in the summary's
// few words.
std::string imageText(const TBl3FileHeader& h) {
  std::string name;
  std::string print;
  getClassName(h.tarvo_class, h.tarvo_print, name);
  getPrintName(h.tarvo_print, print);
  return format("%s V%d.%.2d %s", name.c_str(), h.tarvo_verH, h.tarvo_verL, print.c_str());
}

// Whether the port's new firmware was started: only then is there a
// logger "after".
bool firmwareStarted(int exitStatus) { return exitStatus == kExitSuccess || exitStatus == err::CancelledAfterStart; }

}  // namespace

TFleetJobView::TFleetJobView(TJobViewSettings settings, TJobSession& session, TFleetOutput& output,
                             size_t portIndex, IClock& clock)
    : TTerminalJobView(settings, session, nowhere, noProgress, clock),
      output_(output),
      index_(portIndex),
      port_(settings.portText) {}

void TFleetJobView::start(TCmd cmd) {
  StartJob(cmd);
  passOn();
}

void TFleetJobView::take(const TNotification& notification) {
  pending_.notification = notification;
  noteIdentity(notification);
  handle(notification);
  if (notification.code == ntf::SourceSelected) {
    FirmwareSources().getFirmwareHeader(static_cast<uint32_t>(SelectedSource()), chosenHeader_);
    chosenImage_ = imageText(chosenHeader_);
  }
  passOn();
}

void TFleetJobView::noteIdentity(const TNotification& notification) {
  const auto word = static_cast<uint16_t>(notification.value & 0xFFFF);
  if (notification.code == ntf::ClassWord) {
    if (!firstClass_) firstClass_ = word;
    lastClass_ = word;
  } else if (notification.code == ntf::VersionWord && !firstVersion_) {
    firstVersion_ = word;
    if (firstClass_) output_.logger(index_, loggerText(*firstClass_, *firstVersion_));
  }
}

// Everything one notification (or a start) put out leaves as one event.
void TFleetJobView::passOn() {
  if (!pending_.empty() || pending_.notification) output_.event(index_, pending_);
  pending_ = {};
}

TPortRecord TFleetJobView::record() const {
  TPortRecord record;
  record.port = port_;
  if (firstClass_ && firstVersion_) record.loggerBefore = loggerText(*firstClass_, *firstVersion_);
  record.exitStatus = exitStatus();
  if (firmwareStarted(record.exitStatus)) record.image = chosenImage_;
  // The new firmware answers with its class; its version is the image's.
  // Error 21 skipped that answer.
  if (record.exitStatus == kExitSuccess && lastClass_)
    record.loggerAfter =
        loggerText(*lastClass_, static_cast<uint16_t>((chosenHeader_.tarvo_verH << 8) | (chosenHeader_.tarvo_verL & 0xFF)));
  record.resultText = lastMessage_;
  record.repeats = repeats();
  record.duration = std::chrono::steady_clock::now() - started_;
  return record;
}

void TFleetJobView::SetStatusText(const std::string& sText) {
  TTerminalJobView::SetStatusText(sText);
  output_.status(index_, sText);
}

void TFleetJobView::SetProgressPosition(int iPercent) {
  TTerminalJobView::SetProgressPosition(iPercent);
  output_.progress(index_, iPercent);
}

void TFleetJobView::writeReportLine(const std::string& stampedLine, const std::string& sText) {
  pending_.report.emplace_back(stampedLine, sText);
}

void TFleetJobView::writeMessage(const std::string& sText) {
  pending_.messages.push_back(sText);
  lastMessage_ = sText;
}

void TFleetJobView::writeTraceLine(const std::string& line) { pending_.traces.push_back(line); }

}  // namespace kelvry::cli
