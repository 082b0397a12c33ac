#include "serial/terminal_guard_posix.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <map>
#include <mutex>

namespace kelvry {

namespace {

// Ports are opened and closed on worker threads; a handle is a descriptor,
// so the saved settings are kept by descriptor, and dropped at close
// because the number is reused.
std::mutex gSavedMutex;
std::map<int, termios> gSavedSettings;

bool sameCharacterDevice(const struct stat& a, const struct stat& b) {
  return S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode) && a.st_rdev == b.st_rdev;
}

// The terminal session this process belongs to owns the terminal when the
// terminal reports that session; that holds for /dev/tty and for the
// terminal's own name alike.
bool isControllingTerminal(int fd) {
  const pid_t session = tcgetsid(fd);
  return session != -1 && session == getsid(0);
}

// A program started with setsid, or whose terminal is not its controlling
// one, still writes its report to that terminal.
bool isStandardStreamTerminal(int fd) {
  struct stat port {};
  if (fstat(fd, &port) != 0) return false;
  for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    struct stat streamStatus {};
    if (isatty(stream) && fstat(stream, &streamStatus) == 0 && sameCharacterDevice(port, streamStatus)) return true;
  }
  return false;
}

}  // namespace

bool isOwnTerminal(int fd) { return isControllingTerminal(fd) || isStandardStreamTerminal(fd); }

void saveLineSettings(int fd) {
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return;
  const std::lock_guard lock(gSavedMutex);
  gSavedSettings[fd] = settings;
}

void restoreLineSettings(int fd) {
  termios settings{};
  {
    const std::lock_guard lock(gSavedMutex);
    const auto saved = gSavedSettings.find(fd);
    if (saved == gSavedSettings.end()) return;
    settings = saved->second;
    gSavedSettings.erase(saved);
  }
  // At once, not after draining: a line that cannot send (a hung adapter)
  // must not hold up the close.
  tcsetattr(fd, TCSANOW, &settings);
}

}  // namespace kelvry
