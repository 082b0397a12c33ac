#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

// The live view of several ports updated at once: one line per port (port,
// logger, percent, time left, status), redrawn in place on a terminal. Off
// a terminal it draws nothing. Not thread-safe: its owner serializes calls.

namespace kelvry::cli {

struct TBoardRow {
  std::string port;
  std::string logger;    // empty until the logger has answered
  int percent = 0;
  std::string timeLeft;  // empty without an estimate
  std::string status;
};

// One row as drawn, cut to fit `columns` so that it never wraps.
std::string boardLine(const TBoardRow& row, size_t portWidth, int columns);

class TBoardLines {
public:
  TBoardLines(std::ostream& terminal, bool isTerminal, int columns, std::vector<TBoardRow> rows);

  TBoardRow& row(size_t index) { return rows_[index]; }
  size_t rowCount() const { return rows_.size(); }
  // A port that appeared during the run (bench mode); its row comes last.
  void addRow(TBoardRow row);
  // A line above the rows (bench mode: the counts); none by default.
  void setHeader(std::string header);
  // Draws the rows again after a change, when they are on screen.
  void refresh();
  // Puts the rows on screen below whatever was written last.
  void show();
  // Takes the rows off the screen, e.g. before other output is written.
  void hide();

private:
  std::string rowsText() const;
  void draw();

  std::ostream& terminal_;
  bool isTerminal_;
  int columns_;
  size_t portWidth_ = 0;
  size_t lineCount() const { return rows_.size() + (header_.empty() ? 0 : 1); }

  std::vector<TBoardRow> rows_;
  std::string header_;
  bool visible_ = false;
  std::string drawn_;  // the rows on screen; the same rows are not sent again
};

}  // namespace kelvry::cli
