#include "cli/console/console.h"

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

// The C runtime hands the program's bytes to the console unchanged; the
// console reads them in its output code page.
TUtf8Console::TUtf8Console() {
  const UINT current = GetConsoleOutputCP();  // 0 without a console
  if (current == 0 || current == CP_UTF8) return;
  if (SetConsoleOutputCP(CP_UTF8)) FFormerCodePage = current;
}

TUtf8Console::~TUtf8Console() {
  if (FFormerCodePage != 0) SetConsoleOutputCP(FFormerCodePage);
}

// A command prompt shares its console with the programs it starts; a
// console made for this program alone lists this process only.
bool ownsConsole() {
  DWORD processes[2] = {};
  return GetConsoleProcessList(processes, 2) == 1;
}

void waitForKeyBeforeClosing(std::ostream& out) {
  out << "\nPress a key to close this window." << std::flush;
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  FlushConsoleInputBuffer(input);
  INPUT_RECORD record{};
  DWORD read = 0;
  while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown) return;
  }
}

}  // namespace kelvry::cli
