#include "cli/cancel_signals.h"

#include <pthread.h>
#include <signal.h>

#include <ctime>


namespace kelvry::cli {

namespace {

sigset_t cancelSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  // A closed terminal and Ctrl-\ would otherwise kill the program halfway
  // through programming, with the port still claimed.
  sigaddset(&signals, SIGHUP);
  sigaddset(&signals, SIGQUIT);
  return signals;
}

// How long the watcher sleeps between looks at its stop flag.
constexpr timespec kWatchInterval = {0, 100'000'000};

}  // namespace

TCancelOnSignals::TCancelOnSignals(std::shared_ptr<TCancelToken> cancel) : cancel_(std::move(cancel)) {
  const sigset_t signals = cancelSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  watcher_ = std::thread([this] { watch(); });
}

TCancelOnSignals::~TCancelOnSignals() {
  stopping_ = true;
  watcher_.join();
}

void TCancelOnSignals::watch() {
  const sigset_t signals = cancelSignals();
  while (!stopping_) {
    if (sigtimedwait(&signals, nullptr, &kWatchInterval) > 0) {
      // The sticky flag first: a job start that clears the token looks at it
      // afterwards, so the cancel cannot fall between the two.
      requested_ = true;
      cancel_->cancel();
    }
  }
}

}  // namespace kelvry::cli
