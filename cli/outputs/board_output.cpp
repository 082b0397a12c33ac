#include "cli/outputs/board_output.h"

#include <chrono>

namespace kelvry::cli {

namespace {

std::vector<TBoardRow> boardRows(const std::vector<std::string>& ports) {
  std::vector<TBoardRow> rows;
  for (const std::string& port : ports) {
    TBoardRow row;
    row.port = port;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace

TBoardOutput::TBoardOutput(std::ostream& terminal, bool isTerminal, int columns, const std::vector<std::string>& ports,
                       std::chrono::milliseconds redrawEvery)
    : board_(terminal, isTerminal, columns, boardRows(ports)), redrawEvery_(redrawEvery), timeLeft_(ports.size()) {
  for (size_t i = 0; i < ports.size(); ++i) rowOf_.push_back(i);
  board_.show();
  lastDraw_ = std::chrono::steady_clock::now();
}

void TBoardOutput::redrawWhenDue() {
  if (std::chrono::steady_clock::now() - lastDraw_ >= redrawEvery_) redraw();
}

void TBoardOutput::redraw() {
  board_.refresh();
  lastDraw_ = std::chrono::steady_clock::now();
}

void TBoardOutput::portAdded(size_t port, const std::string& name) {
  if (timeLeft_.size() <= port) {
    timeLeft_.resize(port + 1);
    rowOf_.resize(port + 1);
  }
  size_t row = 0;
  while (row < board_.rowCount() && board_.row(row).port != name) ++row;
  TBoardRow fresh;
  fresh.port = name;
  if (row == board_.rowCount())
    board_.addRow(std::move(fresh));
  else
    board_.row(row) = std::move(fresh);
  rowOf_[port] = row;
  redraw();
}

void TBoardOutput::benchCounts(const TBenchCounts& counts) {
  board_.setHeader(benchCountsText(counts));
  redraw();
}

void TBoardOutput::progress(size_t port, int percent) {
  timeLeft_[port].update(percent, std::chrono::steady_clock::now());
  rowOf(port).percent = percent;
  rowOf(port).timeLeft = timeLeftText(timeLeft_[port].left());
  redrawWhenDue();
}

void TBoardOutput::status(size_t port, const std::string& text) {
  rowOf(port).status = text;
  redrawWhenDue();
}

void TBoardOutput::logger(size_t port, const std::string& text) {
  rowOf(port).logger = text;
  redrawWhenDue();
}

void TBoardOutput::finished(size_t port, const TPortRecord& record) {
  rowOf(port).timeLeft.clear();
  rowOf(port).status = record.resultText;
  redraw();
}

// The summary takes the board's place.
void TBoardOutput::summary(const std::vector<TPortRecord>&) {
  ended_ = true;
  board_.hide();
}

void TBoardOutput::comeBack() {
  if (ended_) return;
  board_.show();
  lastDraw_ = std::chrono::steady_clock::now();
}

}  // namespace kelvry::cli
