// Reading and writing an open serial port with the time-outs the logger link
// relies on, done with poll() on a non-blocking descriptor.

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>

#include "serial/reply_timeout.h"
#include "serial/serial_port.h"

namespace kelvry {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A write may take as long per byte as a read's reply may.
constexpr milliseconds kTimeoutPerByte = kReplyTimeoutPerByte;

// A hang-up ends the link for good: a pseudo-terminal whose master went away
// and an unplugged USB adapter both report it, and neither comes back on the
// same descriptor.
constexpr short kLineGone = POLLHUP | POLLERR | POLLNVAL;

enum class TWait { Ready, TimedOut, Failed, Woken };

int toFd(TPortHandle hPort) { return static_cast<int>(hPort); }

Clock::time_point deadlineAfter(milliseconds constant, size_t count) {
  const auto perByte = kTimeoutPerByte * static_cast<int64_t>(std::min<size_t>(count, INT_MAX));
  return Clock::now() + constant + perByte;
}

int pollTimeout(Clock::time_point deadline) {
  // Rounded up: waking before the deadline would only poll once more for nothing.
  const auto remaining = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<int64_t>(remaining, 0, INT_MAX));
}

// A line that is gone fails with EIO, as a read from it would.
TWait waitForLine(int fd, short events, Clock::time_point deadline, int wakeFd = -1) {
  pollfd entries[2] = {{fd, events, 0}, {wakeFd, POLLIN, 0}};
  for (;;) {
    const int result = poll(entries, wakeFd >= 0 ? 2 : 1, pollTimeout(deadline));
    if (result < 0 && errno == EINTR) continue;
    if (result < 0) return TWait::Failed;
    if (result == 0) return TWait::TimedOut;
    if ((entries[0].revents & kLineGone) != 0) {
      errno = EIO;
      return TWait::Failed;
    }
    return entries[0].revents != 0 ? TWait::Ready : TWait::Woken;
  }
}

bool isRetryable(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINTR; }

// How fast a reply comes in, never faster than the line itself carries it.
// A first piece that came no earlier than a real line allows shows a line
// at its baud rate; otherwise (a pseudo-terminal, a virtual logger emulating
// a faster line) the first two pieces tell the pace they really arrive at.
class TArrivalPace {
public:
  explicit TArrivalPace(const TReplyPacing& pacing) : pacing_(pacing) {}

  void arrived(size_t bytes, Clock::time_point when) {
    if (++pieces_ == 1) {
      firstAt_ = when;
      if (when >= pacing_.earliestAtLineSpeed) byteTime_ = pacing_.byteTime;
    } else if (pieces_ == 2 && byteTime_ == std::chrono::microseconds::zero()) {
      const auto perByte = std::chrono::duration_cast<std::chrono::microseconds>(when - firstAt_) /
                           static_cast<int64_t>(bytes);
      byteTime_ = std::min(perByte, pacing_.byteTime);
    }
  }
  // Zero until the pace is known.
  std::chrono::microseconds byteTime() const { return byteTime_; }

private:
  TReplyPacing pacing_;
  std::chrono::microseconds byteTime_{};
  int pieces_ = 0;
  Clock::time_point firstAt_{};
};

// Waits while `missing` bytes are still on the wire, at most until
// `deadline`, unless `wakeFd` ends the wait first.
// A rest shorter than this would cost as many wake-ups as it saves.
constexpr std::chrono::milliseconds kShortestRest{5};

enum class TRest { NotNeeded, Rested, Woken };

TRest restWhileOnWire(size_t missing, std::chrono::microseconds byteTime, Clock::time_point deadline, int wakeFd) {
  if (missing < 2 || byteTime * static_cast<int64_t>(missing) < kShortestRest) return TRest::NotNeeded;
  const auto until = std::min(deadline, Clock::now() + byteTime * static_cast<int64_t>(missing));
  pollfd wake{wakeFd, POLLIN, 0};
  for (;;) {
    // Rounded up: the read after the rest then finds the whole reply, one
    // wake-up instead of two, at the cost of less than a millisecond.
    const auto left = std::chrono::ceil<milliseconds>(until - Clock::now()).count();
    if (left <= 0) return TRest::Rested;
    const int result = poll(&wake, wakeFd >= 0 ? 1 : 0, static_cast<int>(std::min<int64_t>(left, INT_MAX)));
    if (result > 0) return TRest::Woken;
    if (result < 0 && errno != EINTR) return TRest::Rested;
  }
}

}  // namespace

bool clearCommError(TPortHandle hPort) {
  // Linux latches no line error that would hold up I/O: with parity checking
  // off, parity and framing errors arrive as ordinary bytes and overruns are
  // only counted. What is worth knowing here is whether the port is still
  // there, so that an unplugged adapter fails like the desktop call does.
  if (hPort < 0) {
    errno = EBADF;
    return false;
  }
  pollfd entry{toFd(hPort), 0, 0};
  if (poll(&entry, 1, 0) < 0) return false;
  if ((entry.revents & kLineGone) == 0) return true;
  errno = EIO;
  return false;
}

// Only the input is discarded. A write on Linux returns once the bytes are
// queued for the adapter, not once they are on the wire, so flushing the
// output here could cut off a frame sent without awaiting a reply (the
// bootloader jump, 1 ms before the next query) before it leaves the
// computer. What a timed-out write left queued is dropped by writeComm.
bool purgeComm(TPortHandle hPort) {
  if (hPort >= 0) return tcflush(toFd(hPort), TCIFLUSH) == 0;
  errno = EBADF;
  return false;
}

bool writeComm(TPortHandle hPort, const uint8_t* data, size_t count, size_t& written) {
  written = 0;
  if (hPort < 0) {
    errno = EBADF;
    return false;
  }
  const int fd = toFd(hPort);
  const auto deadline = deadlineAfter(milliseconds{0}, count);
  while (written < count) {
    const ssize_t n = write(fd, data + written, count - written);
    if (n > 0) {
      written += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && !isRetryable(errno)) return false;
    switch (waitForLine(fd, POLLOUT, deadline)) {
      case TWait::TimedOut:
        // A message cut short must not go out later in front of the next
        // one: drop what of it is still queued. The caller sees the short
        // count and tries again.
        tcflush(fd, TCOFLUSH);
        return true;
      case TWait::Failed: return false;
      case TWait::Ready:
      case TWait::Woken: break;
    }
  }
  return true;
}

std::chrono::microseconds byteTimeAt(int32_t baud) {
  constexpr int64_t kBitsPerByte = 10;
  return baud > 0 ? std::chrono::microseconds(kBitsPerByte * 1'000'000 / baud) : std::chrono::microseconds::zero();
}

bool readCommFor(TPortHandle hPort, uint8_t* data, size_t count, size_t& received, milliseconds timeout,
                 int wakeFd, const TReplyPacing& pacing) {
  received = 0;
  if (hPort < 0) {
    errno = EBADF;
    return false;
  }
  const int fd = toFd(hPort);
  // One total time-out from the start of the call and none between
  // characters: a reply that trickles in is collected as a whole.
  const auto deadline = Clock::now() + timeout;
  TArrivalPace pace(pacing);
  // After a rest the bytes should be there: they are read at once, without
  // asking poll() first. A pseudo-terminal may hand them over in two reads.
  bool expectBytes = false;
  while (received < count) {
    if (!expectBytes) {
      switch (waitForLine(fd, POLLIN, deadline, wakeFd)) {
        case TWait::TimedOut:
        case TWait::Woken: return true;
        case TWait::Failed: return false;
        case TWait::Ready: break;
      }
    }
    const bool afterRest = expectBytes;
    const ssize_t n = read(fd, data + received, count - received);
    if (n < 0 && !isRetryable(errno)) return false;
    if (n <= 0 && afterRest) {
      // Not there yet (a raw line without VMIN reads 0 then): wait on it.
      expectBytes = false;
      continue;
    }
    if (n == 0) {
      errno = EIO;  // readable but empty: end of file on a hung-up line
      return false;
    }
    if (n < 0) continue;
    received += static_cast<size_t>(n);
    pace.arrived(static_cast<size_t>(n), Clock::now());
    if (received == count) break;
    // Once a reply is coming in, the rest of it cannot arrive faster than it
    // has so far: rest until all of it can be there instead of waking for
    // every byte or piece, then take it in one read.
    const TRest rest = restWhileOnWire(count - received, pace.byteTime(), deadline, wakeFd);
    if (rest == TRest::Woken) return true;
    expectBytes = rest == TRest::Rested || afterRest;
  }
  return true;
}

}  // namespace kelvry
