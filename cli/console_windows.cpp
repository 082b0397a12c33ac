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
// The progress line and the board move the cursor with ANSI sequences, which
// Windows 10 and later consoles carry out once asked to; an older console
// (and Wine's) refuses the mode and would print them as text.
bool prepareConsoleForUpdate() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(error, &mode)) return false;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) return true;
  return SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}

}  // namespace kelvry::cli
