#pragma once

#include <iosfwd>
#include <string>

#include "driver/run_output.h"

// Whole lines on stdout, written around whatever is drawn in place on the
// terminal (stdout and stderr are often the same terminal), each flushed at
// once so a pipe reader sees it when it happens.

namespace kelvry::cli {

class TStdoutLines {
public:
  explicit TStdoutLines(std::ostream& out) : out_(out) {}

  // The display that steps aside for each line; none: lines only.
  void drawnAround(ILiveDisplay* display) { display_ = display; }
  void write(const std::string& line);
  // Several lines as one block, e.g. a table.
  void writeBlock(const std::string& text);

private:
  std::ostream& out_;
  ILiveDisplay* display_ = nullptr;
};

}  // namespace kelvry::cli
