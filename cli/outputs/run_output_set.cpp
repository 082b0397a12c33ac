#include "cli/outputs/run_output_set.h"

#include <chrono>

#include "cli/outputs/bench_notices.h"
#include "cli/outputs/summary_output.h"
#include "cli/outputs/json_output.h"
#include "cli/outputs/board_output.h"
#include "cli/outputs/progress_output.h"
#include "cli/outputs/report_output.h"
#include "driver/report_log_file.h"
#include "driver/utf8_path.h"

namespace kelvry::cli {

TRunOutputSet::TRunOutputSet(const TRunOutputSettings& settings, std::ostream& out, std::ostream& err)
    : lines_(out), errLines_(err), records_(settings.records) {
  const bool several = settings.bench || settings.ports.size() > 1;
  if (several) {
    auto board = std::make_unique<TBoardOutput>(err, settings.stderrIsTerminal, settings.columns, settings.ports);
    lines_.drawnAround(board.get());
    errLines_.drawnAround(board.get());
    outputs_.push_back(std::move(board));
  } else {
    auto line = std::make_unique<TProgressOutput>(err, settings.stderrIsTerminal, settings.columns);
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
void TRunOutputSet::toEach(Call call) {
  const std::lock_guard lock(mutex_);
  for (const auto& output : outputs_) call(*output);
  if (records_) call(*records_);
}

void TRunOutputSet::portAdded(size_t port, const std::string& name) {
  toEach([&](IRunOutput& o) { o.portAdded(port, name); });
}

void TRunOutputSet::benchCounts(const TBenchCounts& counts) {
  toEach([&](IRunOutput& o) { o.benchCounts(counts); });
}

void TRunOutputSet::jobRunning(size_t port, bool running) {
  toEach([&](IRunOutput& o) { o.jobRunning(port, running); });
}

void TRunOutputSet::event(size_t port, const TPortEvent& event) {
  toEach([&](IRunOutput& o) { o.event(port, event); });
}

void TRunOutputSet::progress(size_t port, int percent) {
  toEach([&](IRunOutput& o) { o.progress(port, percent); });
}

void TRunOutputSet::status(size_t port, const std::string& text) {
  toEach([&](IRunOutput& o) { o.status(port, text); });
}

void TRunOutputSet::logger(size_t port, const std::string& text) {
  toEach([&](IRunOutput& o) { o.logger(port, text); });
}

void TRunOutputSet::beep(size_t port) {
  toEach([&](IRunOutput& o) { o.beep(port); });
}

void TRunOutputSet::finished(size_t port, const TPortRecord& record) {
  toEach([&](IRunOutput& o) { o.finished(port, record); });
}

void TRunOutputSet::summary(const std::vector<TPortRecord>& records) {
  toEach([&](IRunOutput& o) { o.summary(records); });
}

bool TRunOutputSet::recordsComplete() const { return reportFiles_ == nullptr || reportFiles_->complete(); }

}  // namespace kelvry::cli
