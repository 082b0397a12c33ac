#include "tools/logger_sim/pty_logger.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <system_error>
#include <thread>

namespace kelvry::sim {

namespace {

using TClock = std::chrono::steady_clock;

constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit
constexpr int kWriteStallMs = 1000;
// How often bytes of a reply are passed on at an emulated baud rate.
constexpr std::chrono::microseconds kDeliverySlice{4000};

[[noreturn]] void throwErrno(const char* operation) {
  throw std::system_error(errno, std::generic_category(), operation);
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

std::chrono::microseconds wireTime(size_t bytes, int baud) {
  return std::chrono::microseconds(static_cast<int64_t>(bytes) * kBitsPerByte * 1'000'000 / baud);
}

}  // namespace

struct TPtyLogger::Impl {
  explicit Impl(TLoggerConfig config);
  ~Impl();

  void openPseudoTerminal();
  void run();
  bool serve(const std::string& bytes);
  bool perform(const TLoggerAction& action);
  bool writeReply(const std::string& reply);
  bool writeSome(const char* data, size_t count);
  bool sleepFor(std::chrono::microseconds duration);
  bool waitUntil(TClock::time_point deadline);
  void hangUp();

  const int baud;
  const int partialTimeoutMs;
  std::string path;
  int masterFd = -1;
  // Held open for the whole life of the logger: while one slave descriptor
  // is open, the master never sees a hang-up when the program under test
  // closes the port between jobs.
  int slaveFd = -1;
  int stopPipe[2] = {-1, -1};
  mutable std::mutex mutex;  // guards logger
  TVirtualLogger logger;
  std::thread thread;
};

TPtyLogger::Impl::Impl(TLoggerConfig config)
    : baud(config.faults.baud),
      partialTimeoutMs(config.partialMessageTimeoutMs),
      logger(std::move(config)) {
  try {
    openPseudoTerminal();
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) throwErrno("pipe2");
  } catch (...) {
    closeFd(slaveFd);
    closeFd(masterFd);
    throw;
  }
  thread = std::thread([this] { run(); });
}

TPtyLogger::Impl::~Impl() {
  closeFd(slaveFd);
  closeFd(masterFd);
  closeFd(stopPipe[0]);
  closeFd(stopPipe[1]);
}

void TPtyLogger::Impl::openPseudoTerminal() {
  masterFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (masterFd < 0) throwErrno("posix_openpt");
  if (::grantpt(masterFd) != 0) throwErrno("grantpt");
  if (::unlockpt(masterFd) != 0) throwErrno("unlockpt");
  char name[128];
  if (::ptsname_r(masterFd, name, sizeof name) != 0) throwErrno("ptsname_r");
  path = name;
  slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveFd < 0) throwErrno("open slave");
  // Raw, so that no byte of the binary frames is translated or echoed.
  termios settings{};
  if (::tcgetattr(slaveFd, &settings) != 0) throwErrno("tcgetattr");
  ::cfmakeraw(&settings);
  if (::tcsetattr(slaveFd, TCSANOW, &settings) != 0) throwErrno("tcsetattr");
  const int flags = ::fcntl(masterFd, F_GETFL);
  if (flags < 0 || ::fcntl(masterFd, F_SETFL, flags | O_NONBLOCK) != 0) throwErrno("fcntl");
}

void TPtyLogger::Impl::run() {
  char buffer[512];
  for (;;) {
    bool partial = false;
    {
      std::lock_guard lock(mutex);
      partial = logger.hasPartialMessage();
    }
    pollfd fds[2] = {{masterFd, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, partial ? partialTimeoutMs : -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[1].revents != 0) return;
    if (ready == 0) {
      std::lock_guard lock(mutex);
      logger.discardPartialMessage();
      continue;
    }
    const ssize_t got = ::read(masterFd, buffer, sizeof buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got <= 0) return;  // the line is gone
    if (!serve(std::string(buffer, static_cast<size_t>(got)))) return;
  }
}

// False when the logger has to stop: stop requested or line hung up.
bool TPtyLogger::Impl::serve(const std::string& bytes) {
  std::vector<TLoggerAction> actions;
  {
    std::lock_guard lock(mutex);
    actions = logger.receive(bytes);
  }
  return std::all_of(actions.begin(), actions.end(), [this](const TLoggerAction& a) { return perform(a); });
}

bool TPtyLogger::Impl::perform(const TLoggerAction& action) {
  if (action.hangUp) {
    hangUp();
    return false;
  }
  if (action.reply.empty()) return true;
  // The request's last byte has only just reached the logger's end of a
  // real line; the reply cannot start earlier.
  if (baud > 0 && !sleepFor(wireTime(action.requestLength, baud))) return false;
  return writeReply(action.reply);
}

bool TPtyLogger::Impl::writeReply(const std::string& reply) {
  if (baud <= 0) return writeSome(reply.data(), reply.size());
  // No byte leaves before a real line at this baud rate would have sent it,
  // and the last one leaves exactly then. In between, bytes are passed on in
  // slices, as a USB adapter does, so the logger does not wake for each.
  const auto begin = TClock::now();
  const size_t slice = std::max<size_t>(1, static_cast<size_t>(kDeliverySlice / wireTime(1, baud)));
  size_t sent = 0;
  while (sent < reply.size()) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - begin);
    const size_t due = std::min(reply.size(), static_cast<size_t>(elapsed / wireTime(1, baud)) + 1);
    if (due > sent) {
      if (!writeSome(reply.data() + sent, due - sent)) return false;
      sent = due;
    }
    // Byte i is due at begin + i byte times.
    const size_t nextSliceEnd = std::min(sent + slice - 1, reply.size() - 1);
    if (sent < reply.size() && !waitUntil(begin + wireTime(nextSliceEnd, baud))) return false;
  }
  // The line is busy until the last byte's stop bit has gone out.
  return waitUntil(begin + wireTime(reply.size(), baud));
}

// Writes everything; a reply that nobody reads for a long time is dropped,
// as a real line would just lose it.
bool TPtyLogger::Impl::writeSome(const char* data, size_t count) {
  while (count > 0) {
    const ssize_t put = ::write(masterFd, data, count);
    if (put > 0) {
      data += put;
      count -= static_cast<size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) return false;
    pollfd fds[2] = {{masterFd, POLLOUT, 0}, {stopPipe[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, kWriteStallMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return true;
    if (fds[1].revents != 0) return false;
  }
  return true;
}

// Sleeps unless a stop is requested; false on a stop.
bool TPtyLogger::Impl::sleepFor(std::chrono::microseconds duration) { return waitUntil(TClock::now() + duration); }

bool TPtyLogger::Impl::waitUntil(TClock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - TClock::now());
    if (left.count() <= 0) return true;
    pollfd stop = {stopPipe[0], POLLIN, 0};
    const int ready = ::poll(&stop, 1, static_cast<int>(left.count()));
    if (ready > 0) return false;
  }
}

// Only the logger's thread uses the descriptors, so no lock is needed.
void TPtyLogger::Impl::hangUp() {
  closeFd(masterFd);
  closeFd(slaveFd);
}

TPtyLogger::TPtyLogger(TLoggerConfig config) : impl_(std::make_unique<Impl>(std::move(config))) {}

TPtyLogger::~TPtyLogger() { stop(); }

const std::string& TPtyLogger::portPath() const { return impl_->path; }

TLoggerStats TPtyLogger::stats() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->logger.stats();
}

std::vector<std::string> TPtyLogger::flashLines() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->logger.flashLines();
}

bool TPtyLogger::writeFlash(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  for (const std::string& line : flashLines()) out << line << '\n';
  out.flush();
  return static_cast<bool>(out);
}

void TPtyLogger::stop() {
  if (!impl_->thread.joinable()) return;
  const char wake = 1;
  while (::write(impl_->stopPipe[1], &wake, 1) < 0 && errno == EINTR) {
  }
  impl_->thread.join();
}

}  // namespace kelvry::sim
