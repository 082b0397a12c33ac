#pragma once

#include <ostream>

// What the command line needs to know about the console it runs in.

namespace kelvry::cli {

// True when a person can answer on standard input.
bool stdinIsTerminal();
// True when standard error is a terminal that shows the progress line.
bool stderrIsTerminal();
// The width of the terminal on standard error; 80 when it is unknown.
int stderrColumns();

// Gets the console ready for an update: a closed stdout (a pager quit early)
// must not kill the program halfway through programming the logger, and the
// progress line's cursor controls must work. Returns whether standard error
// is a terminal that carries those controls out; where it would print them
// as text, the update goes without a progress line or board (the report
// lines say everything they show).
bool prepareConsoleForUpdate();

// The program's text is UTF-8. While one of these lives, a console shows it
// in the user's letters, not as the letters of its own code page ("Prüfung",
// not "PrÃ¼fung"); at its end the console's code page is put back, for the
// programs the user runs next in it. Text into a file or pipe is unchanged.
class TUtf8Console {
public:
  TUtf8Console();
  ~TUtf8Console();
  TUtf8Console(const TUtf8Console&) = delete;
  TUtf8Console& operator=(const TUtf8Console&) = delete;

private:
  unsigned FFormerCodePage = 0;  // 0: nothing to put back
};

// True when the console closes with the program: it was started by a double
// click, not from a command prompt, and nobody could read what it wrote.
bool ownsConsole();

// Tells the user to press a key and waits for it, so that a console the
// program owns stays open until its text has been read.
void waitForKeyBeforeClosing(std::ostream& out);

}  // namespace kelvry::cli
