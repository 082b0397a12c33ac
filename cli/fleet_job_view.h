#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>

#include "cli/fleet_output.h"
#include "cli/port_event.h"
#include "cli/port_record.h"
#include "cli/progress_line.h"
#include "cli/terminal_job_view.h"
#include "firmware/bl3_file_header.h"

// The view of one port among several updated at once. It handles its
// port's notifications exactly as a single update does (same texts, same
// repeats, same exit status), but sends what it writes to the shared fleet
// output instead of the terminal, and keeps what the summary needs.

namespace kelvry::cli {

namespace detail {
// The terminal a port's view would write to directly: none. Its own lines
// go through the fleet output.
struct TNoTerminal {
  std::ostream nowhere{nullptr};
  TProgressLine noProgress{nowhere, false, 80};
};
}  // namespace detail

class TFleetJobView final : private detail::TNoTerminal, public TTerminalJobView {
public:
  TFleetJobView(TJobViewSettings settings, TJobSession& session, TFleetOutput& output, size_t portIndex, IClock& clock = steadyClock());

  // Starts the port's job, as StartJob does.
  void start(TCmd cmd);
  // Handles one notification, as handle() does.
  void take(const TNotification& notification);
  // How the port's run went; complete once the view is no longer busy.
  TPortRecord record() const;

  void SetStatusText(const std::string& sText) override;
  void SetProgressPosition(int iPercent) override;

protected:
  void writeReportLine(const std::string& stampedLine, const std::string& sText) override;
  void writeMessage(const std::string& sText) override;
  void writeTraceLine(const std::string& line) override;

private:
  void noteIdentity(const TNotification& notification);
  void passOn();

  TFleetOutput& output_;
  const size_t index_;
  const std::string port_;
  const std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  TPortEvent pending_;
  std::string lastMessage_;
  // The identity answers: the first tells the logger as found, the last the
  // class of the new firmware once it runs.
  std::optional<uint16_t> firstClass_, lastClass_;
  std::optional<uint16_t> firstVersion_;
  TBl3FileHeader chosenHeader_;
  std::string chosenImage_;
};

}  // namespace kelvry::cli
