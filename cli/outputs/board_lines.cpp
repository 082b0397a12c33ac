#include "cli/outputs/board_lines.h"

#include <algorithm>
#include <ostream>

#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry::cli {

namespace {
constexpr const char* kClearToEndOfScreen = "\033[J";
constexpr const char* kClearToEndOfLine = "\033[K";
constexpr size_t kLoggerWidth = 19;  // "Kelvry Series V2.92"
constexpr size_t kTimeLeftWidth = 10;
}  // namespace

namespace {
// `text` left-aligned in `width` characters, then the gap to the next column.
void appendColumn(std::string& line, const std::string& text, size_t width) {
  line += text;
  line.append(width > text.size() ? width - text.size() : 0, ' ');
  line += "  ";
}
}  // namespace

std::string boardLine(const TBoardRow& row, size_t portWidth, int columns) {
  std::string line;
  appendColumn(line, row.port, portWidth);
  appendColumn(line, row.logger.empty() ? "-" : row.logger, kLoggerWidth);
  appendColumn(line, format("%3d%%", std::clamp(row.percent, 0, 100)), 4);
  appendColumn(line, row.timeLeft, kTimeLeftWidth);
  line += row.status;
  line.resize(std::min(line.size(), static_cast<size_t>(std::max(columns - 1, 1))));
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

TBoardLines::TBoardLines(std::ostream& terminal, bool isTerminal, int columns, std::vector<TBoardRow> rows)
    : terminal_(terminal), isTerminal_(isTerminal), columns_(std::max(columns, 20)), rows_(std::move(rows)) {
  for (const TBoardRow& row : rows_) portWidth_ = std::max(portWidth_, row.port.size());
}

// Over the rows on screen, line by line, so nothing flickers.
void TBoardLines::refresh() {
  if (!visible_ || rowsText() == drawn_) return;
  if (lineCount() > 0) terminal_ << "\r\033[" << lineCount() << 'A';
  draw();
}

void TBoardLines::setHeader(std::string header) {
  const bool grows = header_.empty() != header.empty();
  const bool wasVisible = visible_;
  if (grows) hide();
  header_ = std::move(header);
  if (grows && wasVisible) show();
}

// The board is taken off and put back, since it grows by a line.
void TBoardLines::addRow(TBoardRow row) {
  const bool wasVisible = visible_;
  hide();
  portWidth_ = std::max(portWidth_, row.port.size());
  rows_.push_back(std::move(row));
  if (wasVisible) show();
}

void TBoardLines::show() {
  if (!isTerminal_ || visible_) return;
  visible_ = true;
  draw();
}

// The cursor stands below the last row: go up to the first and clear from
// there.
void TBoardLines::hide() {
  if (!visible_) return;
  visible_ = false;
  drawn_.clear();
  // "ESC [0A" would still go up a line: an empty board (a bench before its
  // first logger) has nothing to take away.
  if (lineCount() > 0) terminal_ << "\r\033[" << lineCount() << 'A' << kClearToEndOfScreen << std::flush;
}

std::string TBoardLines::rowsText() const {
  std::string text;
  if (!header_.empty()) {
    text += header_.substr(0, static_cast<size_t>(std::max(columns_ - 1, 1)));
    text += kClearToEndOfLine;
    text += '\n';
  }
  for (const TBoardRow& row : rows_) {
    text += boardLine(row, portWidth_, columns_);
    text += kClearToEndOfLine;
    text += '\n';
  }
  return text;
}

void TBoardLines::draw() {
  drawn_ = rowsText();
  terminal_ << drawn_ << std::flush;
}

}  // namespace kelvry::cli
