#pragma once

#include <cstdint>
#include <string>

#include "engine/comm_command.h"
#include "firmware/firmware_sources.h"
#include "frontend/port_open_advice.h"
#include "serial/transport.h"

// Turns worker notifications into what the user sees: progress, report
// lines, status text, the closing message and the automatic repeats. Both
// front ends (window and command line) use this one handler, so their texts
// never drift apart. Plain C++: no Qt here.

namespace kelvry {

// The outputs of a front end, as the handler drives them.
class IJobView {
public:
  virtual ~IJobView() = default;

  virtual void AddReportLine(const std::string& sText) = 0;
  virtual void SetStatusText(const std::string& sText) = 0;
  // Shows the closing text of a job and returns when the user has read it.
  virtual void ShowMessageText(const std::string& sText) = 0;
  // Error 10: the design's text, and the reason in words that say what to do.
  virtual void ShowPortFailure(const std::string& sText, const std::string& sReason) = 0;
  // Error 20. A front end that knows where the cancel left the logger may
  // add that; by default the text goes to the report, status and message.
  virtual void ShowCancelled(const std::string& sText);
  // Error 11: the design's text, and what failed on the line and why (empty
  // when the platform gave no reason). By default the reason goes to the
  // report only and the text to the report, status and message; a front
  // end that knows where the failure left the logger may say that too.
  virtual void ShowLineFailure(const std::string& sText, const std::string& sReason);
  virtual void SetProgressPosition(int iPercent) = 0;
  virtual int ProgressPosition() const = 0;
  virtual void SetApplicationTitle(const std::string& sTitle) = 0;
  virtual void Beep() = 0;
  // The port name as the user currently sees it (the port box's text).
  virtual std::string PortText() const = 0;
  // Where the user picks a port, for the advice after error 10.
  virtual TPortChooser PortChooser() const { return TPortChooser::CommandLine; }

  // The firmware the job chooses from, and its choice so far (-1 none).
  virtual const TFirmwareSources& FirmwareSources() const = 0;
  virtual int32_t SelectedSource() const = 0;
  // Why the port failed, once the job has ended with error 10 or 11.
  virtual TSerialFailure SerialFailure() const = 0;

  // Returns to idle.
  virtual void EndJob() = 0;
  // After error 44: start the update again at once (no wait, no
  // preparation, the report is kept).
  virtual void RepeatAfterProgrammingError() = 0;
  // After notification 13: wait 1500 ms, start `cmd` again, and keep a
  // Cancel pressed before or during the wait in force for the new worker.
  virtual void RepeatAfterCommFailure(TCmd cmd) = 0;
};

// Handles one notification, in posting order, on the front end's thread.
void WMWorkerNotify(IJobView& view, uint32_t code, int32_t value);

// The closing text of notification 10 for an error code.
std::string errorText(int32_t errorCode, const std::string& sPortText);

// What failed on the serial line and why, for the report: empty when the
// platform gave no reason.
std::string serialFailureText(const TSerialFailure& failure);

// "Start at serial port \"%s\"": the first line of every job.
std::string startLine(const std::string& sPortText);

}  // namespace kelvry
