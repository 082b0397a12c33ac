#pragma once

#include <string>
#include <vector>

#include "cli/outputs/stdout_lines.h"
#include "driver/run_output.h"

// The report of an update on stdout, as the window's report shows it:
// "hh-nn-ss -> text" lines and the closing message as the job's last line.
// With several ports each line starts with its port, so the lines of
// different loggers can be told apart and filtered.

namespace kelvry::cli {

class TReportOutput final : public IRunOutput {
public:
  TReportOutput(std::vector<std::string> ports, TStdoutLines& lines);

  void portAdded(size_t port, const std::string& name) override;
  void event(size_t port, const TPortEvent& event) override;

private:
  void write(size_t port, const std::string& line);

  std::vector<std::string> ports_;
  TStdoutLines& lines_;
  bool namePorts_;  // lines start with their port
};

}  // namespace kelvry::cli
