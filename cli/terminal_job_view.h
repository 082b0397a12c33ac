#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/progress_line.h"
#include "waits/clock.h"
#include "engine/notification_sink.h"
#include "engine/update_request.h"
#include "frontend/job_notifications.h"
#include "frontend/job_session.h"

// The command line's face for a job. Of the window's three text outputs:
// - report lines go to stdout as "hh-nn-ss -> text", as the report window
//   shows them;
// - the status text goes to the progress line on stderr (a terminal only);
//   every status text is also a report line, so nothing is lost elsewhere;
// - the closing message goes to stdout once, alone, as the job's last line.
//   When the same text was also a report line of the same notification, that
//   report line is left out, so the text is not printed twice.

namespace kelvry::cli {

struct TJobViewSettings {
  std::string portText;            // the port as the user named it
  bool trace = false;              // print each notification before handling it
  std::optional<int> maxRepeats;   // automatic repeats allowed; none: no limit
  TUpdateRequest request;          // the job to run (port, checks, firmware)
};

class TTerminalJobView : public IJobView {
public:
  // Jobs run through `session`; the pause before a repeat is waited on
  // `clock`.
  TTerminalJobView(TJobViewSettings settings, TJobSession& session, std::ostream& out, TProgressLine& progress,
                   IClock& clock = steadyClock());

  // Starts a job as the window's StartJob does: start line, busy, a fresh
  // cancel token (cancelled already when a signal asked to stop), new worker.
  void StartJob(TCmd cmd);

  // Handles one notification from the worker, in posting order.
  void handle(const TNotification& notification);

  bool busy() const { return busy_; }
  // What the process should exit with, from the last final notification.
  int exitStatus() const { return exitStatus_; }
  int repeats() const { return session_.repeats(); }

  void AddReportLine(const std::string& sText) override;
  void SetStatusText(const std::string& sText) override;
  void ShowMessageText(const std::string& sText) override;
  // The reason goes to stderr once the run has ended (see commands.cpp).
  void ShowPortFailure(const std::string& sText, const std::string& sReason) override;
  void SetProgressPosition(int iPercent) override;
  int ProgressPosition() const override { return position_; }
  void SetApplicationTitle(const std::string& sTitle) override;
  void Beep() override;
  std::string PortText() const override { return settings_.portText; }
  const TFirmwareSources& FirmwareSources() const override { return session_.request().sources; }
  int32_t SelectedSource() const override { return session_.selectedSource(); }
  TSerialFailure SerialFailure() const override { return session_.lastResult().serialFailure; }
  void EndJob() override;
  void RepeatAfterProgrammingError() override;
  void RepeatAfterCommFailure(TCmd cmd) override;

protected:
  // Where the handled notification's lines go: by default stdout, behind
  // the progress line. A view of one port among several sends them on.
  virtual void writeReportLine(const std::string& stampedLine, const std::string& sText);
  virtual void writeMessage(const std::string& sText);
  virtual void writeTraceLine(const std::string& line);

private:
  void beginJob();
  TUpdateRequest requestFor(TCmd cmd) const;
  bool mayRepeat() const;
  void giveUp(const char* reason);
  void printLine(const std::string& line);
  void flush();

  TJobViewSettings settings_;
  TJobSession& session_;
  std::ostream& out_;
  TProgressLine& progress_;
  IClock& clock_;

  bool busy_ = false;
  int position_ = 0;
  int exitStatus_ = 0;
  // Report lines (stamped line, bare text) and messages of the notification
  // being handled, printed when it is done.
  std::vector<std::pair<std::string, std::string>> pendingReport_;
  std::vector<std::string> pendingMessages_;
};

}  // namespace kelvry::cli
