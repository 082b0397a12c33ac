#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "engine/cancel_token.h"

// Ctrl-C, SIGTERM, SIGHUP (the terminal closed) and SIGQUIT (on Windows:
// Ctrl-C, Ctrl-Break and closing the console window) cancel a running
// update the way the window's Cancel button does: the job's cancel token is
// set, every wait of the job ends at once, the link stops before its next
// attempt, the job ends with "Process cancelled!" and the port is released.
// On POSIX no signal handler runs program code: the signals are blocked and
// taken by a watcher thread.

namespace kelvry::cli {

class TCancelOnSignals {
public:
  // Blocks these signals in the calling thread. Construct it before any
  // other thread starts, so that every later thread inherits the mask. A
  // signal sets `cancel`.
  explicit TCancelOnSignals(std::shared_ptr<TCancelToken> cancel);
  ~TCancelOnSignals();
  TCancelOnSignals(const TCancelOnSignals&) = delete;
  TCancelOnSignals& operator=(const TCancelOnSignals&) = delete;

  // True once a signal arrived; stays true, so that a job the program starts
  // by itself afterwards (an automatic repeat) is cancelled too.
  const std::atomic<bool>& requested() const { return requested_; }

private:
  friend struct TConsoleEvents;  // Windows' console-event handler
  void watch();

  std::shared_ptr<TCancelToken> cancel_;
  std::atomic<bool> requested_{false};
  std::atomic<bool> stopping_{false};
  std::thread watcher_;
};

}  // namespace kelvry::cli
