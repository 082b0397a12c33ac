#pragma once

#include <chrono>
#include <string>

#include <vector>

#include "cli/outputs/stdout_lines.h"
#include "driver/port_event.h"
#include "driver/port_record.h"
#include "driver/run_output.h"

// The machine-readable output of a run for scripts and line controllers:
// one JSON object per line. Every notification a port's job posted gives
// one object (port, time, notification code and value, its report text
// and, when it closed the job, the closing message); each port ends with
// one object that holds its result.

namespace kelvry::cli {

std::string eventJsonLine(const std::string& port, std::chrono::system_clock::time_point when,
                          const TPortEvent& event);
std::string resultJsonLine(const TPortRecord& record, std::chrono::system_clock::time_point when);

// The JSON lines of a run on stdout, in place of the report.
class TJsonLinesOutput final : public IRunOutput {
public:
  TJsonLinesOutput(std::vector<std::string> ports, TStdoutLines& lines);

  void portAdded(size_t port, const std::string& name) override;
  void event(size_t port, const TPortEvent& event) override;
  void finished(size_t port, const TPortRecord& record) override;

private:
  std::vector<std::string> ports_;
  TStdoutLines& lines_;
};

}  // namespace kelvry::cli
