// Low-latency mode through the kernel's serial flags: ASYNC_LOW_LATENCY.

#include "serial/low_latency.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <map>
#include <mutex>

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

// The flags to restore per open descriptor. Ports are opened and closed by
// different workers over time, hence the lock.
std::mutex gRestoreLock;
std::map<int, int> gFlagsToRestore;

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

void lowerPortLatency(int fd) {
  TTtySerialFlags driver(fd);
  const std::optional<int> previous = requestLowLatency(driver);
  if (!previous) return;
  const std::lock_guard lock(gRestoreLock);
  gFlagsToRestore[fd] = *previous;
}

void restorePortLatency(int fd) {
  std::optional<int> previous;
  {
    const std::lock_guard lock(gRestoreLock);
    const auto entry = gFlagsToRestore.find(fd);
    if (entry == gFlagsToRestore.end()) return;
    previous = entry->second;
    gFlagsToRestore.erase(entry);
  }
  TTtySerialFlags driver(fd);
  restoreLatency(driver, *previous);
}

}  // namespace kelvry
