#pragma once

#include <memory>
#include <thread>

#include "waits/cancel_token.h"

// Ctrl-C, SIGTERM, SIGHUP (the terminal closed) and SIGQUIT (on Windows:
// Ctrl-C, Ctrl-Break and closing the console window) cancel a running
// update the way the window's Cancel button does: the job's cancel token is
// set, every wait of the job ends at once, the link stops before its next
// attempt, the job ends with "Process cancelled!" and the port is released.
// On POSIX no signal handler runs program code: the signals are blocked and
// taken by a watcher thread, which sleeps in poll() on a signal descriptor
// and wakes only for a signal or its own end.

namespace kelvry::cli {

class TCancelOnSignals {
public:
  // Blocks these signals in the calling thread. Construct it before any
  // other thread starts, so that every later thread inherits the mask. A
  // signal cancels `cancel`, the run's token; every job of the run, also
  // one the program starts by itself afterwards (an automatic repeat), has
  // a child of it and so is cancelled too.
  explicit TCancelOnSignals(std::shared_ptr<TCancelToken> cancel);
  ~TCancelOnSignals();
  TCancelOnSignals(const TCancelOnSignals&) = delete;
  TCancelOnSignals& operator=(const TCancelOnSignals&) = delete;

private:
  friend struct TConsoleEvents;  // Windows' console-event handler
  void watch();

  std::shared_ptr<TCancelToken> cancel_;
  // Set when the update is over; a console close event waits for it.
  TCancelToken stopping_;
  int signalFd_ = -1;  // POSIX: the blocked signals, readable when one arrived
  int stopFd_ = -1;    // POSIX: readable once the watcher is to end
  std::thread watcher_;
};

#ifdef _WIN32
// What Windows calls for a console event (CTRL_C_EVENT, CTRL_BREAK_EVENT,
// CTRL_CLOSE_EVENT ...); nonzero when it was handled. Wine delivers Ctrl-C
// but neither Ctrl-Break nor a close, so tests call it directly.
int handleConsoleEvent(unsigned long event);
#endif

}  // namespace kelvry::cli
