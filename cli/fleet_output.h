#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/fleet_board.h"
#include "cli/port_event.h"
#include "cli/port_record.h"
#include "cli/report_log_file.h"
#include "cli/time_left.h"

// Where the views of several ports updated at once write, from their own
// threads: report lines on stdout (behind the port when more than one port
// runs) or JSON lines instead, the live board on stderr (a terminal only),
// and a report file per port. Every call takes one lock, so the lines of
// different ports never mix within a line.

namespace kelvry::cli {

struct TFleetOutputSettings {
  std::vector<std::string> ports;
  bool json = false;            // JSON lines instead of the report
  bool boardOnTerminal = false; // stderr is a terminal: draw the live board there
  int columns = 80;             // the terminal's width
  std::string logFolder;        // empty: no report files
};

class TFleetOutput {
public:
  // Opens the report files first, so that a folder that cannot be written
  // stops the run before any logger is touched: throws std::runtime_error.
  TFleetOutput(TFleetOutputSettings settings, std::ostream& out, std::ostream& err);

  void event(size_t port, const TPortEvent& event);
  void progress(size_t port, int percent);
  void status(size_t port, const std::string& text);
  void logger(size_t port, const std::string& logger);
  void finished(size_t port, const TPortRecord& record);

  // Takes the board away and prints the summary (a table for people, on
  // stderr with JSON lines on stdout) once every port has finished.
  void summary(const std::vector<TPortRecord>& records);

private:
  void writeLine(const std::string& port, const std::string& line);

  TFleetOutputSettings settings_;
  std::ostream& out_;
  std::ostream& err_;
  std::mutex mutex_;
  TFleetBoard board_;
  std::vector<TTimeLeft> timeLeft_;
  std::vector<std::unique_ptr<TReportLogFile>> files_;
};

}  // namespace kelvry::cli
