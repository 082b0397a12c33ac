#include "cli/outputs/stdout_lines.h"

#include <ostream>

namespace kelvry::cli {

void TStdoutLines::write(const std::string& line) { writeBlock(line + '\n'); }

void TStdoutLines::writeBlock(const std::string& text) {
  if (display_) display_->stepAside();
  out_ << text << std::flush;
  if (display_) display_->comeBack();
}

}  // namespace kelvry::cli
