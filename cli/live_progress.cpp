#include "cli/live_progress.h"

namespace kelvry::cli {

TLiveProgress::TLiveProgress(std::ostream& terminal, bool isTerminal, int columns)
    : line_(terminal, isTerminal, columns) {}

// The line comes on screen below the job's first report line, not before.
void TLiveProgress::jobRunning(size_t, bool running) {
  running_ = running;
  if (!running) line_.hide();
}

void TLiveProgress::progress(size_t, int percent) { line_.setPercent(percent); }

void TLiveProgress::status(size_t, const std::string& text) { line_.setStatus(text); }

void TLiveProgress::beep(size_t) { line_.beep(); }

void TLiveProgress::comeBack() {
  if (running_) line_.show();
}

}  // namespace kelvry::cli
