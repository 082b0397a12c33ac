// Low-latency mode through the kernel's serial flags: ASYNC_LOW_LATENCY.

#include "serial/low_latency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>


namespace kelvry {

namespace {

// TIOCSSERIAL takes the whole structure: read it, change the flags only.
class TTtySerialFlags : public TSerialFlags {
public:
  explicit TTtySerialFlags(int fd) : fd_(fd) {}

  std::optional<int> read() override {
    serial_struct info{};
    if (ioctl(fd_, TIOCGSERIAL, &info) != 0) return std::nullopt;
    return info.flags;
  }

  bool write(int flags) override {
    serial_struct info{};
    if (ioctl(fd_, TIOCGSERIAL, &info) != 0) return false;
    info.flags = flags;
    return ioctl(fd_, TIOCSSERIAL, &info) == 0;
  }

private:
  int fd_;
};

}  // namespace

std::optional<int> requestLowLatency(TSerialFlags& driver) {
  const std::optional<int> flags = driver.read();
  if (!flags || (*flags & ASYNC_LOW_LATENCY) != 0) return std::nullopt;
  if (!driver.write(*flags | ASYNC_LOW_LATENCY)) return std::nullopt;
  return flags;
}

void restoreLatency(TSerialFlags& driver, int previousFlags) {
  const std::optional<int> flags = driver.read();
  if (!flags) return;
  const int restored = (*flags & ~ASYNC_LOW_LATENCY) | (previousFlags & ASYNC_LOW_LATENCY);
  if (restored != *flags) driver.write(restored);
}

std::optional<int> lowerPortLatency(int fd) {
  TTtySerialFlags driver(fd);
  return requestLowLatency(driver);
}

void restorePortLatency(int fd, std::optional<int> previousFlags) {
  if (!previousFlags) return;
  TTtySerialFlags driver(fd);
  restoreLatency(driver, *previousFlags);
}

}  // namespace kelvry
