#include "serial/terminal_guard_posix.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <initializer_list>


namespace kelvry {

namespace {

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

TSavedLineSettings saveLineSettings(int fd) {
  TSavedLineSettings previous;
  previous.saved = tcgetattr(fd, &previous.settings) == 0;
  return previous;
}

void restoreLineSettings(int fd, const TSavedLineSettings& previous) {
  if (!previous.saved) return;
  // At once, not after draining: a line that cannot send (a hung adapter)
  // must not hold up the close.
  tcsetattr(fd, TCSANOW, &previous.settings);
}

}  // namespace kelvry
