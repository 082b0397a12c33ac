#include "cli/outputs/report_output.h"

namespace kelvry::cli {

TReportOutput::TReportOutput(std::vector<std::string> ports, TStdoutLines& lines)
    : ports_(std::move(ports)), lines_(lines), namePorts_(ports_.size() > 1) {}

// On a bench the loggers come one after another: every line names its port.
void TReportOutput::portAdded(size_t port, const std::string& name) {
  if (ports_.size() <= port) ports_.resize(port + 1);
  ports_[port] = name;
  namePorts_ = true;
}

void TReportOutput::event(size_t port, const TPortEvent& event) {
  for (const std::string& trace : event.traces) write(port, trace);
  for (const auto& line : event.report) write(port, line.first);
  for (const std::string& message : event.messages) write(port, message);
}

// With one port the lines are exactly those of a single update.
void TReportOutput::write(size_t port, const std::string& line) {
  lines_.write(namePorts_ ? ports_[port] + ": " + line : line);
}

}  // namespace kelvry::cli
