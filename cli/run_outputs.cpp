#include "cli/run_outputs.h"

#include <chrono>

#include "cli/bench_notices.h"
#include "cli/fleet_summary.h"
#include "cli/json_lines.h"
#include "cli/live_board.h"
#include "cli/live_progress.h"
#include "cli/report_output.h"
#include "driver/report_log_file.h"
#include "driver/utf8_path.h"

namespace kelvry::cli {

TRunOutputs::TRunOutputs(const TRunOutputSettings& settings, std::ostream& out, std::ostream& err)
    : lines_(out), errLines_(err) {
  const bool several = settings.bench || settings.ports.size() > 1;
  if (several) {
    auto board = std::make_unique<TLiveBoard>(err, settings.stderrIsTerminal, settings.columns, settings.ports);
    lines_.drawnAround(board.get());
    errLines_.drawnAround(board.get());
    outputs_.push_back(std::move(board));
  } else {
    auto line = std::make_unique<TLiveProgress>(err, settings.stderrIsTerminal, settings.columns);
    lines_.drawnAround(line.get());
    outputs_.push_back(std::move(line));
  }
  if (settings.json)
    outputs_.push_back(std::make_unique<TJsonLinesOutput>(settings.ports, lines_));
  else
    outputs_.push_back(std::make_unique<TReportOutput>(settings.ports, lines_));
  if (!settings.logFolder.empty()) {
    auto files = std::make_unique<TReportFiles>(utf8Path(settings.logFolder), settings.ports,
                                                std::chrono::system_clock::now(), err);
    reportFiles_ = files.get();
    outputs_.push_back(std::move(files));
  }
  if (settings.bench)
    outputs_.push_back(
        std::make_unique<TBenchNotices>(errLines_, settings.stderrIsTerminal, settings.bell, settings.successStatus));
  if (several) {
    outputs_.push_back(std::make_unique<TSummaryOutput>(settings.json ? TStdoutLines(err) : lines_));
  }
}

template <class Call>
void TRunOutputs::toEach(Call call) {
  const std::lock_guard lock(mutex_);
  for (const auto& output : outputs_) call(*output);
}

void TRunOutputs::portAdded(size_t port, const std::string& name) {
  toEach([&](IRunOutput& o) { o.portAdded(port, name); });
}

void TRunOutputs::benchCounts(const TBenchCounts& counts) {
  toEach([&](IRunOutput& o) { o.benchCounts(counts); });
}

void TRunOutputs::jobRunning(size_t port, bool running) {
  toEach([&](IRunOutput& o) { o.jobRunning(port, running); });
}

void TRunOutputs::event(size_t port, const TPortEvent& event) {
  toEach([&](IRunOutput& o) { o.event(port, event); });
}

void TRunOutputs::progress(size_t port, int percent) {
  toEach([&](IRunOutput& o) { o.progress(port, percent); });
}

void TRunOutputs::status(size_t port, const std::string& text) {
  toEach([&](IRunOutput& o) { o.status(port, text); });
}

void TRunOutputs::logger(size_t port, const std::string& text) {
  toEach([&](IRunOutput& o) { o.logger(port, text); });
}

void TRunOutputs::beep(size_t port) {
  toEach([&](IRunOutput& o) { o.beep(port); });
}

void TRunOutputs::finished(size_t port, const TPortRecord& record) {
  toEach([&](IRunOutput& o) { o.finished(port, record); });
}

void TRunOutputs::summary(const std::vector<TPortRecord>& records) {
  toEach([&](IRunOutput& o) { o.summary(records); });
}

bool TRunOutputs::recordsComplete() const { return reportFiles_ == nullptr || reportFiles_->complete(); }

}  // namespace kelvry::cli
