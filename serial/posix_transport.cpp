#include "serial/posix_transport.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace kelvry {

namespace {

int makeWakeFd() {
  const int fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  return fd;
}

void signalWakeFd(int fd) {
  const uint64_t one = 1;
  // A full counter is still readable: nothing to do when the write fails.
  [[maybe_unused]] const ssize_t ignored = ::write(fd, &one, sizeof one);
}

}  // namespace

TPosixSerialTransport::TPosixSerialTransport(const TCancelToken& cancel) : cancel_(cancel), wakeFd_(makeWakeFd()) {
  wakeOnCancel_.emplace(cancel.onCancel([fd = wakeFd_] { signalWakeFd(fd); }));
}

// The wake-up goes first: a cancel on another thread must never write to
// a descriptor number that is closed and perhaps already someone else's.
TPosixSerialTransport::~TPosixSerialTransport() {
  close();
  wakeOnCancel_.reset();
  ::close(wakeFd_);
}

bool TPosixSerialTransport::open(const std::string& port, int32_t baud) {
  close();
  port_ = openComPort(port, baud, &failure_, &previousSettings_);
  pacing_ = {byteTimeAt(baud), {}};
  return port_ != INVALID_PORT_HANDLE;
}

void TPosixSerialTransport::close() {
  closeComPort(port_, &previousSettings_);
  port_ = INVALID_PORT_HANDLE;
}

bool TPosixSerialTransport::fail(const char* operation) {
  const int error = errno;
  failure_ = {operation, error, std::strerror(error)};
  return false;
}

bool TPosixSerialTransport::clearErrors() { return clearCommError(port_) || fail("poll"); }

bool TPosixSerialTransport::discardInput() { return purgeComm(port_) || fail("tcflush"); }

bool TPosixSerialTransport::write(const uint8_t* data, size_t count, size_t& written) {
  // The request leaves the computer only now; on a real line the reply
  // cannot begin before it has gone out, which takes its wire time. Half of
  // that is the sign that the line runs at its baud rate.
  pacing_.earliestAtLineSpeed = std::chrono::steady_clock::now() + pacing_.byteTime * static_cast<int64_t>(count) / 2;
  return writeComm(port_, data, count, written) || fail("write");
}

bool TPosixSerialTransport::read(uint8_t* data, size_t count, size_t& received,
                                 std::chrono::milliseconds timeout) {
  // The flag is set before the eventfd is signalled: either the flag shows
  // an earlier cancel or the eventfd a later one. A token is never cleared,
  // so the eventfd needs no draining: once signalled, the job is over.
  if (cancel_.isCancelled()) {
    received = 0;
    return true;
  }
  return readCommFor(port_, data, count, received, timeout, wakeFd_, pacing_) || fail("read");
}

}  // namespace kelvry
