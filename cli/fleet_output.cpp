#include "cli/fleet_output.h"

#include <ostream>

#include "cli/fleet_json.h"
#include "cli/fleet_summary.h"

namespace kelvry::cli {

namespace {

std::vector<TBoardRow> boardRows(const std::vector<std::string>& ports) {
  std::vector<TBoardRow> rows;
  for (const std::string& port : ports) {
    TBoardRow row;
    row.port = port;
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

TFleetOutput::TFleetOutput(TFleetOutputSettings settings, std::ostream& out, std::ostream& err)
    : settings_(std::move(settings)),
      out_(out),
      err_(err),
      board_(err, settings_.boardOnTerminal, settings_.columns, boardRows(settings_.ports)),
      timeLeft_(settings_.ports.size()) {
  const auto start = std::chrono::system_clock::now();
  if (!settings_.logFolder.empty())
    for (const std::string& port : settings_.ports)
      files_.push_back(std::make_unique<TReportLogFile>(settings_.logFolder, port, start));
  board_.show();
}

// With one port the lines are exactly those of a single update.
void TFleetOutput::writeLine(const std::string& port, const std::string& line) {
  board_.hide();
  if (settings_.ports.size() > 1) out_ << port << ": ";
  out_ << line << '\n';
  out_.flush();
  board_.show();
}

void TFleetOutput::event(size_t port, const TPortEvent& event) {
  const std::lock_guard lock(mutex_);
  if (!files_.empty()) files_[port]->write(event);
  const std::string& name = settings_.ports[port];
  if (settings_.json) {
    board_.hide();
    out_ << eventJsonLine(name, std::chrono::system_clock::now(), event) << '\n';
    out_.flush();
    board_.show();
    return;
  }
  for (const std::string& trace : event.traces) writeLine(name, trace);
  for (const auto& line : event.report) writeLine(name, line.first);
  for (const std::string& message : event.messages) writeLine(name, message);
}

void TFleetOutput::progress(size_t port, int percent) {
  const std::lock_guard lock(mutex_);
  timeLeft_[port].update(percent, std::chrono::steady_clock::now());
  board_.row(port).percent = percent;
  board_.row(port).timeLeft = timeLeftText(timeLeft_[port].left());
  board_.refresh();
}

void TFleetOutput::status(size_t port, const std::string& text) {
  const std::lock_guard lock(mutex_);
  board_.row(port).status = text;
  board_.refresh();
}

void TFleetOutput::logger(size_t port, const std::string& logger) {
  const std::lock_guard lock(mutex_);
  board_.row(port).logger = logger;
  board_.refresh();
}

void TFleetOutput::finished(size_t port, const TPortRecord& record) {
  const std::lock_guard lock(mutex_);
  if (!files_.empty()) files_[port]->writeResult(record);
  board_.row(port).timeLeft.clear();
  board_.row(port).status = record.resultText;
  board_.refresh();
  if (!settings_.json) return;
  board_.hide();
  out_ << resultJsonLine(record, std::chrono::system_clock::now()) << '\n';
  out_.flush();
  board_.show();
}

void TFleetOutput::summary(const std::vector<TPortRecord>& records) {
  const std::lock_guard lock(mutex_);
  board_.hide();
  if (records.size() < 2) return;
  std::ostream& table = settings_.json ? err_ : out_;
  table << '\n' << fleetSummary(records);
  table.flush();
}

}  // namespace kelvry::cli
