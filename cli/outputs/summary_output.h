#pragma once

#include <string>
#include <vector>

#include "cli/outputs/stdout_lines.h"
#include "driver/port_record.h"
#include "driver/run_output.h"

// The table printed at the end of a run over several ports: one row per
// port with the logger before and after, the firmware installed, the
// port's own exit status, its closing message and how long it took.

namespace kelvry::cli {

std::string summaryTable(const std::vector<TPortRecord>& records);

// Prints the table, after a blank line, once every port is done: on stdout
// for people, or on stderr beside JSON lines.
class TSummaryOutput final : public IRunOutput {
public:
  explicit TSummaryOutput(TStdoutLines lines) : lines_(lines) {}

  void summary(const std::vector<TPortRecord>& records) override { lines_.writeBlock('\n' + summaryTable(records)); }

private:
  TStdoutLines lines_;
};

}  // namespace kelvry::cli
