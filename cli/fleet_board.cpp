#include "cli/fleet_board.h"

#include <algorithm>
#include <ostream>

#include "frontend/job_notifications.h"

namespace kelvry::cli {

namespace {
constexpr const char* kClearToEndOfScreen = "\033[J";
constexpr const char* kClearToEndOfLine = "\033[K";
constexpr size_t kLoggerWidth = 14;  // "Kelvry V2.92" and room to spare
constexpr size_t kTimeLeftWidth = 10;
}  // namespace

std::string boardLine(const TBoardRow& row, size_t portWidth, int columns) {
  std::string line = row.port;
  line.resize(std::max(portWidth, line.size()), ' ');
  line += "  ";
  line += row.logger.empty() ? "-" : row.logger;
  line.resize(std::max(portWidth + 2 + kLoggerWidth, line.size()), ' ');
  line += format("%3d%%  ", std::clamp(row.percent, 0, 100));
  std::string left = row.timeLeft;
  left.resize(std::max(kTimeLeftWidth, left.size()), ' ');
  line += left;
  line += "  ";
  line += row.status;
  line.resize(std::min(line.size(), static_cast<size_t>(std::max(columns - 1, 1))));
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

TFleetBoard::TFleetBoard(std::ostream& terminal, bool isTerminal, int columns, std::vector<TBoardRow> rows)
    : terminal_(terminal), isTerminal_(isTerminal), columns_(std::max(columns, 20)), rows_(std::move(rows)) {
  for (const TBoardRow& row : rows_) portWidth_ = std::max(portWidth_, row.port.size());
}

// Over the rows on screen, line by line, so nothing flickers.
void TFleetBoard::refresh() {
  if (!visible_) return;
  terminal_ << "\r\033[" << rows_.size() << 'A';
  draw();
}

void TFleetBoard::show() {
  if (!isTerminal_ || visible_) return;
  visible_ = true;
  draw();
}

// The cursor stands below the last row: go up to the first and clear from
// there.
void TFleetBoard::hide() {
  if (!visible_) return;
  visible_ = false;
  terminal_ << "\r\033[" << rows_.size() << 'A' << kClearToEndOfScreen << std::flush;
}

void TFleetBoard::draw() {
  std::string text;
  for (const TBoardRow& row : rows_) {
    text += boardLine(row, portWidth_, columns_);
    text += kClearToEndOfLine;
    text += '\n';
  }
  terminal_ << text << std::flush;
}

}  // namespace kelvry::cli
