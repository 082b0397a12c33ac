#pragma once

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

}  // namespace kelvry::cli
