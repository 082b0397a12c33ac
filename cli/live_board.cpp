#include "cli/live_board.h"

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

TLiveBoard::TLiveBoard(std::ostream& terminal, bool isTerminal, int columns, const std::vector<std::string>& ports,
                       std::chrono::milliseconds redrawEvery)
    : board_(terminal, isTerminal, columns, boardRows(ports)), redrawEvery_(redrawEvery), timeLeft_(ports.size()) {
  board_.show();
  lastDraw_ = std::chrono::steady_clock::now();
}

void TLiveBoard::redrawWhenDue() {
  if (std::chrono::steady_clock::now() - lastDraw_ >= redrawEvery_) redraw();
}

void TLiveBoard::redraw() {
  board_.refresh();
  lastDraw_ = std::chrono::steady_clock::now();
}

void TLiveBoard::progress(size_t port, int percent) {
  timeLeft_[port].update(percent, std::chrono::steady_clock::now());
  board_.row(port).percent = percent;
  board_.row(port).timeLeft = timeLeftText(timeLeft_[port].left());
  redrawWhenDue();
}

void TLiveBoard::status(size_t port, const std::string& text) {
  board_.row(port).status = text;
  redrawWhenDue();
}

void TLiveBoard::logger(size_t port, const std::string& text) {
  board_.row(port).logger = text;
  redrawWhenDue();
}

void TLiveBoard::finished(size_t port, const TPortRecord& record) {
  board_.row(port).timeLeft.clear();
  board_.row(port).status = record.resultText;
  redraw();
}

// The summary takes the board's place.
void TLiveBoard::summary(const std::vector<TPortRecord>&) {
  ended_ = true;
  board_.hide();
}

void TLiveBoard::comeBack() {
  if (ended_) return;
  board_.show();
  lastDraw_ = std::chrono::steady_clock::now();
}

}  // namespace kelvry::cli
