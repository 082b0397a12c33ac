// Opening and closing a serial port with POSIX termios.

#include "serial/serial_port.h"
#include "serial/low_latency.h"
#include "serial/terminal_guard_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace kelvry {

namespace {

std::optional<speed_t> speedConstant(int32_t iBaud) {
  static constexpr std::pair<int32_t, speed_t> kSpeeds[] = {
      {50, B50},           {75, B75},           {110, B110},         {134, B134},
      {150, B150},         {200, B200},         {300, B300},         {600, B600},
      {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
      {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
      {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
      {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
      {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
      {3500000, B3500000}, {4000000, B4000000},
  };
  for (const auto& [baud, speed] : kSpeeds) {
    if (baud == iBaud) return speed;
  }
  return std::nullopt;
}

// The complete line state, built from nothing so that no setting of an
// earlier user of the port carries over: raw 8N1, receiver on, modem status
// lines ignored, no flow control of any kind, no character translation, no
// parity checking, breaks and null bytes read as plain 0x00. VMIN and VTIME
// stay 0 because the time-outs are done with poll(). HUPCL drops DTR and RTS
// when the last holder closes the port.
termios lineSettings(speed_t speed) {
  termios settings{};
  settings.c_cflag = CS8 | CREAD | CLOCAL | HUPCL;
  cfsetispeed(&settings, speed);
  cfsetospeed(&settings, speed);
  return settings;
}

// tcsetattr() succeeds when any part of the request was taken, and drivers
// silently round what they cannot do; read the state back so that a refused
// setting fails the open as it would with a port that rejects it outright.
bool lineSettingsTaken(int fd, const termios& wanted) {
  termios actual{};
  if (tcgetattr(fd, &actual) != 0) return false;
  constexpr tcflag_t kFraming = CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD;
  return (actual.c_cflag & kFraming) == (wanted.c_cflag & kFraming) &&
         cfgetispeed(&actual) == cfgetispeed(&wanted) &&
         cfgetospeed(&actual) == cfgetospeed(&wanted) &&
         (actual.c_iflag & (IXON | IXOFF | IXANY | INPCK | ISTRIP)) == 0;
}

// RTS inactive, then DTR raised as the very last step, so that the logger
// sees a settled line when DTR rises. Devices without modem lines (a
// pseudo-terminal answers these ioctls with ENOTTY) have nothing to drive.
// Returns the failed step, or nullptr.
const char* setModemLines(int fd) {
  int rts = TIOCM_RTS;
  if (ioctl(fd, TIOCMBIC, &rts) != 0) return errno == ENOTTY ? nullptr : "TIOCMBIC";
  int dtr = TIOCM_DTR;
  if (ioctl(fd, TIOCMBIS, &dtr) != 0) return "TIOCMBIS";
  return nullptr;
}

// Undoes a partly done open. The exclusive flag belongs to the tty, not to
// this descriptor: it is only cleared when this open set it, never when the
// flag is a current holder's.
void releasePort(int fd, bool clearExclusive, const TSavedLineSettings& previous = {}) {
  restoreLineSettings(fd, previous);
  if (clearExclusive) ioctl(fd, TIOCNXCL);
  flock(fd, LOCK_UN);
  close(fd);
}

TPortHandle failOpen(TPortOpenError* why, int error, const char* step) {
  if (why) *why = {step, error, std::strerror(error)};
  return INVALID_PORT_HANDLE;
}

TPortHandle failOpenAndRelease(TPortOpenError* why, int fd, bool clearExclusive, const char* step,
                               const TSavedLineSettings& previous = {}) {
  const int error = errno;
  releasePort(fd, clearExclusive, previous);
  return failOpen(why, error, step);
}

}  // namespace

std::string portDevicePath(const std::string& sPort) {
  if (sPort.starts_with('/')) return sPort;
  return "/dev/" + sPort;
}

TPortHandle openComPort(const std::string& sPort, int32_t iBaud, TPortOpenError* why,
                        TSavedLineSettings* previous) {
  if (why) *why = {};
  if (sPort.empty()) return failOpen(why, ENOENT, "open");
  const std::optional<speed_t> speed = speedConstant(iBaud);
  if (!speed) return failOpen(why, EINVAL, "cfsetspeed");

  // Non-blocking: the open must not wait for a carrier, and reads and writes
  // wait in poll() with their own time-outs.
  const int fd = open(portDevicePath(sPort).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return failOpen(why, errno, "open");
  if (isOwnTerminal(fd)) {
    errno = EBUSY;
    return failOpenAndRelease(why, fd, false, kOwnTerminalStep);
  }

  // TIOCEXCL keeps other openers out but does not stop root; the advisory
  // lock also keeps out a second copy of this program run as root.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) return failOpenAndRelease(why, fd, false, "flock");
  // Root gets past another program's exclusive flag: look for it, so that we
  // neither share the port nor clear that program's claim when we close. A
  // holder that set no flag and no lock cannot be seen on Linux.
  int heldExclusively = 0;
  if (ioctl(fd, TIOCGEXCL, &heldExclusively) == 0 && heldExclusively != 0) {
    errno = EBUSY;
    return failOpenAndRelease(why, fd, false, "TIOCEXCL");
  }
  if (ioctl(fd, TIOCEXCL) != 0) return failOpenAndRelease(why, fd, false, "TIOCEXCL");

  const TSavedLineSettings before = saveLineSettings(fd);
  const termios settings = lineSettings(*speed);
  if (tcsetattr(fd, TCSANOW, &settings) != 0) return failOpenAndRelease(why, fd, true, "tcsetattr", before);
  if (!lineSettingsTaken(fd, settings)) {
    errno = EINVAL;
    return failOpenAndRelease(why, fd, true, "tcsetattr", before);
  }

  // Driver buffer sizes: Linux gives every tty fixed kernel buffers (4 KiB
  // line-discipline input buffer plus the driver's flip and write buffers),
  // with no call to resize them per open. Both are larger than the longest
  // exchange of the link (139 characters), so there is nothing to set.

  if (const char* failedStep = setModemLines(fd))
    return failOpenAndRelease(why, fd, true, failedStep, before);
  if (previous) {
    *previous = before;
    previous->serialFlags = lowerPortLatency(fd);
  }
  return fd;
}

void closeComPort(TPortHandle hPort, const TSavedLineSettings* previous) {
  if (hPort < 0) return;
  if (previous) restorePortLatency(static_cast<int>(hPort), previous->serialFlags);
  // The tty outlives this descriptor when someone else keeps it open (the
  // virtual logger holds its pseudo-terminal's slave): a leftover exclusive
  // flag would lock every later open out.
  releasePort(static_cast<int>(hPort), true, previous ? *previous : TSavedLineSettings{});
}

}  // namespace kelvry
