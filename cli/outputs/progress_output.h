#pragma once

#include <iosfwd>

#include "cli/outputs/progress_line.h"
#include "driver/run_output.h"

// The progress line of a single port's update on stderr: shown while a job
// runs, kept below the report lines, taken away when the job has ended.

namespace kelvry::cli {

class TProgressOutput final : public IRunOutput, public ILiveDisplay {
public:
  TProgressOutput(std::ostream& terminal, bool isTerminal, int columns);

  void jobRunning(size_t port, bool running) override;
  void progress(size_t port, int percent) override;
  void status(size_t port, const std::string& text) override;
  void beep(size_t port) override;

  void stepAside() override { line_.hide(); }
  void comeBack() override;

private:
  TProgressLine line_;
  bool running_ = false;
};

}  // namespace kelvry::cli
