#include "cli/console.h"

#include <windows.h>

namespace kelvry::cli {

namespace {

// Only a console has a console mode: the NUL device, a pipe or a file have
// none (the C runtime's isatty() takes NUL for a terminal).
bool isConsole(DWORD stdHandle) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stdHandle), &mode) != 0;
}

}  // namespace

bool stdinIsTerminal() { return isConsole(STD_INPUT_HANDLE); }

bool stderrIsTerminal() { return isConsole(STD_ERROR_HANDLE); }

int stderrColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info)) {
    const int columns = info.srWindow.Right - info.srWindow.Left + 1;
    if (columns > 0) return columns;
  }
  return 80;
}

// A write to a closed pipe fails on Windows instead of killing the program.
// The progress line clears the rest of its line with an ANSI sequence, which
// Windows 10 and later consoles carry out once asked to.
void prepareConsoleForUpdate() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (GetConsoleMode(error, &mode)) SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace kelvry::cli
