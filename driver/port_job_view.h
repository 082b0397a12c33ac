#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "driver/port_event.h"
#include "driver/port_record.h"
#include "driver/run_output.h"
#include "engine/notification_sink.h"
#include "engine/update_request.h"
#include "firmware/bl3_file_header.h"
#include "serial/usb_port_identity.h"
#include "frontend/job_notifications.h"
#include "frontend/job_session.h"
#include "waits/clock.h"

// The command line's face for the jobs of one port. Of the window's three
// text outputs:
// - report lines become "hh-nn-ss -> text", as the report window shows them;
// - the status text goes to the progress line or the board;
//   every status text is also a report line, so nothing is lost elsewhere;
// - the closing message comes once, alone, as the job's last line. When the
//   same text was also a report line of the same notification, that report
//   line is left out, so the text is not printed twice.
// What one notification (or a job start) produced leaves as one event for
// the run's outputs. The view also repeats the job as the window does, up
// to a bound, and keeps what the port's record needs.

namespace kelvry {

struct TJobViewSettings {
  std::string portText;            // the port as the user named it
  TUsbPortIdentity usb{};          // what the port's USB device said of itself at the start
  bool trace = false;              // put out each notification before handling it
  std::optional<int> maxRepeats;   // automatic repeats allowed; none: no limit
  TUpdateRequest request;          // the job to run (port, checks, firmware)
};

class TPortJobView final : public IJobView {
public:
  // Jobs run through `session`; what they put out goes to `output` as port
  // `portIndex`; the pause before a repeat is waited on `clock`.
  TPortJobView(TJobViewSettings settings, TJobSession& session, IRunOutput& output, size_t portIndex,
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
  // How the port's run went; complete once the view is no longer busy.
  TPortRecord record() const;

  void AddReportLine(const std::string& sText) override;
  void SetStatusText(const std::string& sText) override;
  void ShowMessageText(const std::string& sText) override;
  // The reason goes to stderr once the run has ended (see update_command.cpp).
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

private:
  void beginJob();
  TUpdateRequest requestFor(TCmd cmd) const;
  bool mayRepeat() const;
  void giveUp(const char* reason);
  void noteIdentity(const TNotification& notification);
  void noteChoice(const TNotification& notification);
  void flush();

  TJobViewSettings settings_;
  TJobSession& session_;
  IRunOutput& output_;
  const size_t index_;
  IClock& clock_;

  bool busy_ = false;
  int position_ = 0;
  int exitStatus_ = 0;
  // What the notification being handled put out so far.
  TPortEvent pending_;

  // For the record.
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::string lastMessage_;
  // The identity answers: the first tells the logger as found, the last the
  // class of the new firmware once it runs.
  std::optional<uint16_t> firstClass_, lastClass_;
  std::optional<uint16_t> firstVersion_;
  TBl3FileHeader chosenHeader_;
  std::string chosenImage_;
  int chosenSource_ = -1;  // the firmware source of chosenImage_
};

}  // namespace kelvry
