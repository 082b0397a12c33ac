#include "cli/console/cancel_signals.h"

#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

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

int checked(int fd, const char* what) {
  if (fd < 0) throw std::system_error(errno, std::generic_category(), what);
  return fd;
}

}  // namespace

TCancelOnSignals::TCancelOnSignals(std::shared_ptr<TCancelToken> cancel) : cancel_(std::move(cancel)) {
  const sigset_t signals = cancelSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signalFd_ = checked(signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK), "signalfd");
  stopFd_ = checked(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK), "eventfd");
  watcher_ = std::thread([this] { watch(); });
}

TCancelOnSignals::~TCancelOnSignals() {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(stopFd_, &one, sizeof one);
  watcher_.join();
  ::close(stopFd_);
  ::close(signalFd_);
}

// Sleeps until a signal arrives or the update is over: no time-out, so the
// program neither wakes while it waits nor lingers when it is told to end.
void TCancelOnSignals::watch() {
  pollfd entries[2] = {{signalFd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
  for (;;) {
    if (poll(entries, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (entries[1].revents != 0) return;
    signalfd_siginfo info{};
    while (::read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) cancel_->cancel();
  }
}

}  // namespace kelvry::cli
