// Ctrl-C and Ctrl-Break in the console, and the console window being closed
// (or the user logging off), cancel the update. Windows calls the handler on
// a thread of its own, so it may set the token directly.

#include "cli/console/cancel_signals.h"

#include <windows.h>

#include <chrono>

namespace kelvry::cli {

namespace {

std::atomic<TCancelOnSignals*> active{nullptr};

// Windows ends the process about 5 s after a close event, whatever the
// handler does; the cancelled job releases the port well within that.
constexpr auto kCloseGrace = std::chrono::milliseconds(4500);

}  // namespace

struct TConsoleEvents {
  static BOOL WINAPI handle(DWORD event);
};

BOOL WINAPI TConsoleEvents::handle(DWORD event) {
  TCancelOnSignals* self = active.load();
  if (self == nullptr) return FALSE;
  self->cancel_->cancel();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) return TRUE;
  // Returning from a close, logoff or shutdown event ends the process at
  // once: wait until the job is over and the port is free.
  self->stopping_.waitUntil(std::chrono::steady_clock::now() + kCloseGrace);
  return TRUE;
}

int handleConsoleEvent(unsigned long event) { return TConsoleEvents::handle(event); }

TCancelOnSignals::TCancelOnSignals(std::shared_ptr<TCancelToken> cancel) : cancel_(std::move(cancel)) {
  active = this;
  SetConsoleCtrlHandler(&TConsoleEvents::handle, TRUE);
}

TCancelOnSignals::~TCancelOnSignals() {
  stopping_.cancel();
  SetConsoleCtrlHandler(&TConsoleEvents::handle, FALSE);
  active = nullptr;
}

}  // namespace kelvry::cli
