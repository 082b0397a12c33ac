#pragma once

// Keeps a serial port open from harming the terminal around it: the user's
// own terminal is never taken as a logger's port (binary frames on the
// screen, a raw line at 9600 baud and a dead Ctrl-C afterwards), and any
// port gets back the line settings it had before this program opened it.

namespace kelvry {

// The open step that a refused own terminal reports in TPortOpenError.
inline constexpr const char* kOwnTerminalStep = "own terminal";

// True when `fd` is this process's controlling terminal (/dev/tty or its
// real name) or the terminal on standard input, output or error.
bool isOwnTerminal(int fd);

// Remembers the line settings of a port that is about to be configured.
// Settings that cannot be read are not remembered, and nothing is put back.
void saveLineSettings(int fd);

// Puts back the settings remembered for `fd`, once; nothing happens for a
// descriptor without remembered settings. Called before the descriptor is
// closed, so that the next user of the port (a terminal program, a shell on
// a serial console) finds it as it was.
void restoreLineSettings(int fd);

}  // namespace kelvry
