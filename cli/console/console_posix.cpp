#include "cli/console/console.h"

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace kelvry::cli {

bool stdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

bool stderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

int stderrColumns() {
  winsize size{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

bool prepareConsoleForUpdate() {
  signal(SIGPIPE, SIG_IGN);
  return stderrIsTerminal();
}

// A terminal takes UTF-8 as it is and never closes with the program.
TUtf8Console::TUtf8Console() = default;
TUtf8Console::~TUtf8Console() = default;

bool ownsConsole() { return false; }

void waitForKeyBeforeClosing(std::ostream&) {}

}  // namespace kelvry::cli
