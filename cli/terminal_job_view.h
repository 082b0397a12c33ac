#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/progress_line.h"
#include "engine/notification_sink.h"
#include "ui/job_notifications.h"

// The command line's face for a job. Of the window's three text outputs:
// - report lines go to stdout as "hh-nn-ss -> text", as the report window
//   shows them;
// - the status text goes to the progress line on stderr (a terminal only);
//   every status text is also a report line, so nothing is lost elsewhere;
// - the closing message goes to stdout once, alone, as the job's last line.
//   When the same text was also a report line of the same notification, that
//   report line is left out, so the text is not printed twice.

namespace kelvry::cli {

// How the view starts and ends workers and waits; the real ones run a
// TCommThread, tests record the calls.
struct TJobHooks {
  // Starts a worker for the command; the previous one is already released.
  std::function<void(TCmd)> startWorker;
  // Lets go of the worker that has posted its final notification.
  std::function<void()> releaseWorker;
  std::function<void(std::chrono::milliseconds)> pause;
};

struct TJobViewSettings {
  std::string portText;            // the port as the user named it
  bool trace = false;              // print each notification before handling it
  std::optional<int> maxRepeats;   // automatic repeats allowed; none: no limit
};

class TTerminalJobView : public IJobView {
public:
  TTerminalJobView(TJobViewSettings settings, TJobHooks hooks, const std::atomic<bool>& cancelRequested,
                   std::ostream& out, TProgressLine& progress);

  // Starts a job as the window's StartJob does: start line, busy, bCancel
  // cleared (unless a signal asked to cancel), new worker.
  void StartJob(TCmd cmd);

  // Handles one notification from the worker, in posting order.
  void handle(const TNotification& notification);

  bool busy() const { return busy_; }
  // What the process should exit with, from the last final notification.
  int exitStatus() const { return exitStatus_; }
  int repeats() const { return repeats_; }

  void AddReportLine(const std::string& sText) override;
  void SetStatusText(const std::string& sText) override;
  void ShowMessageText(const std::string& sText) override;
  void SetProgressPosition(int iPercent) override;
  int ProgressPosition() const override { return position_; }
  void SetApplicationTitle(const std::string& sTitle) override;
  void Beep() override;
  std::string PortText() const override { return settings_.portText; }
  void EndJob() override;
  void RepeatAfterProgrammingError() override;
  void RepeatAfterCommFailure(TCmd cmd) override;

private:
  bool mayRepeat() const;
  void giveUp(const char* reason);
  void printLine(const std::string& line);
  void flush();

  TJobViewSettings settings_;
  TJobHooks hooks_;
  const std::atomic<bool>& cancelRequested_;
  std::ostream& out_;
  TProgressLine& progress_;

  bool busy_ = false;
  int position_ = 0;
  int repeats_ = 0;
  int exitStatus_ = 0;
  // Report lines (stamped line, bare text) and messages of the notification
  // being handled, printed when it is done.
  std::vector<std::pair<std::string, std::string>> pendingReport_;
  std::vector<std::string> pendingMessages_;
};

// "hh-nn-ss -> text" with the local time now.
std::string stampedReportLine(const std::string& sText);

}  // namespace kelvry::cli
