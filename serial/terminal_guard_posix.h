#pragma once

// Keeps a serial port open from harming the terminal around it: the user's
// own terminal is never taken as a logger's port (binary frames on the
// screen, a raw line at 9600 baud and a dead Ctrl-C afterwards), and any
// port gets back the line settings it had before this program opened it.

#include <termios.h>

#include <optional>

namespace kelvry {

// The open step that a refused own terminal reports in TPortOpenError.
inline constexpr const char* kOwnTerminalStep = "own terminal";

// True when `fd` is this process's controlling terminal (/dev/tty or its
// real name) or the terminal on standard input, output or error.
bool isOwnTerminal(int fd);

// What a port had before this program configured it, for the close to put
// back: its line settings, and its driver's serial flags when low latency
// was switched on.
struct TSavedLineSettings {
  bool saved = false;
  termios settings{};
  std::optional<int> serialFlags;
};

// Remembers the line settings of a port that is about to be configured.
// Settings that cannot be read are not remembered, and nothing is put back.
TSavedLineSettings saveLineSettings(int fd);

// Puts back remembered settings; nothing happens when none were remembered.
// Called before the descriptor is closed, so that the next user of the port
// (a terminal program, a shell on a serial console) finds it as it was.
void restoreLineSettings(int fd, const TSavedLineSettings& previous);

}  // namespace kelvry
