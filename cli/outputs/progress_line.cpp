#include "cli/outputs/progress_line.h"

#include <algorithm>
#include <chrono>
#include <ostream>

#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry::cli {

namespace {
constexpr int kBarWidth = 30;
constexpr const char* kClearToEnd = "\033[K";
}  // namespace

TProgressLine::TProgressLine(std::ostream& terminal, bool isTerminal, int columns)
    : terminal_(terminal), isTerminal_(isTerminal), columns_(std::max(columns, 20)) {}

void TProgressLine::setPercent(int percent) {
  percent_ = std::clamp(percent, 0, 100);
  timeLeft_.update(percent_, std::chrono::steady_clock::now());
  if (visible_) draw();
}

void TProgressLine::setStatus(const std::string& text) {
  status_ = text;
  if (visible_) draw();
}

void TProgressLine::show() {
  if (!isTerminal_ || visible_) return;
  visible_ = true;
  draw();
}

void TProgressLine::hide() {
  if (!visible_) return;
  visible_ = false;
  drawn_.clear();
  terminal_ << '\r' << kClearToEnd << std::flush;
}

void TProgressLine::beep() {
  if (isTerminal_) terminal_ << '\a' << std::flush;
}

void TProgressLine::draw() {
  const int filled = percent_ * kBarWidth / 100;
  // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
  // "literal" + std::string.
  std::string line("[");
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(kBarWidth - filled), '.');
  line += "] ";
  line += format("%3d%%", percent_);
  if (const std::string left = timeLeftText(timeLeft_.left()); !left.empty()) {
    line += "  ";
    line += left;
  }
  if (!status_.empty()) {
    line += "  ";
    line += status_;
  }
  // A line longer than the terminal would wrap, and '\r' could not take the
  // cursor back to its start.
  line.resize(std::min(line.size(), static_cast<size_t>(columns_ - 1)));
  if (line == drawn_) return;
  drawn_ = line;
  terminal_ << '\r' << line << kClearToEnd << std::flush;
}

}  // namespace kelvry::cli
