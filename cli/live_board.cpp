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

TLiveBoard::TLiveBoard(std::ostream& terminal, bool isTerminal, int columns, const std::vector<std::string>& ports)
    : board_(terminal, isTerminal, columns, boardRows(ports)), timeLeft_(ports.size()) {
  board_.show();
}

void TLiveBoard::progress(size_t port, int percent) {
  timeLeft_[port].update(percent, std::chrono::steady_clock::now());
  board_.row(port).percent = percent;
  board_.row(port).timeLeft = timeLeftText(timeLeft_[port].left());
  board_.refresh();
}

void TLiveBoard::status(size_t port, const std::string& text) {
  board_.row(port).status = text;
  board_.refresh();
}

void TLiveBoard::logger(size_t port, const std::string& text) {
  board_.row(port).logger = text;
  board_.refresh();
}

void TLiveBoard::finished(size_t port, const TPortRecord& record) {
  board_.row(port).timeLeft.clear();
  board_.row(port).status = record.resultText;
  board_.refresh();
}

// The summary takes the board's place.
void TLiveBoard::summary(const std::vector<TPortRecord>&) {
  ended_ = true;
  board_.hide();
}

void TLiveBoard::comeBack() {
  if (!ended_) board_.show();
}

}  // namespace kelvry::cli
