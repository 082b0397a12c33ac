#include "cli/outputs/progress_output.h"

namespace kelvry::cli {

TProgressOutput::TProgressOutput(std::ostream& terminal, bool isTerminal, int columns)
    : line_(terminal, isTerminal, columns) {}

// The line comes on screen below the job's first report line, not before.
void TProgressOutput::jobRunning(size_t, bool running) {
  running_ = running;
  if (!running) line_.hide();
}

void TProgressOutput::progress(size_t, int percent) { line_.setPercent(percent); }

void TProgressOutput::status(size_t, const std::string& text) { line_.setStatus(text); }

void TProgressOutput::beep(size_t) { line_.beep(); }

void TProgressOutput::comeBack() {
  if (running_) line_.show();
}

}  // namespace kelvry::cli
