#pragma once

#include <optional>

// Low-latency mode for USB serial adapters. Many adapters hold received bytes
// until their latency timer runs out (16 ms by default on FTDI chips) before
// they pass them on. Every exchange with the logger waits for a reply, and
// the read time-out already runs while the request is still on the wire, so
// the port asks the driver for low-latency mode (which FTDI's driver turns
// into a 1 ms timer) for as long as it is open. A driver without the setting
// is simply left alone: this never makes an open fail.

namespace kelvry {

// The driver's serial flags (TIOCGSERIAL / TIOCSSERIAL); tests stand in a
// fake driver.
class TSerialFlags {
public:
  virtual ~TSerialFlags() = default;
  // The current flags, or nothing when the driver does not have them.
  virtual std::optional<int> read() = 0;
  // False when the driver refuses the new flags.
  virtual bool write(int flags) = 0;
};

// Switches low latency on when the driver has the setting and it is off.
// Returns the flags to put back at close, or nothing when nothing changed.
std::optional<int> requestLowLatency(TSerialFlags& driver);

// Puts the low-latency setting of `previousFlags` back, leaving every other
// flag as the driver has it now.
void restoreLatency(TSerialFlags& driver, int previousFlags);

// The same for an open port's descriptor: returns the flags to put back
// before it is closed (nothing when nothing changed).
std::optional<int> lowerPortLatency(int fd);
void restorePortLatency(int fd, std::optional<int> previousFlags);

}  // namespace kelvry
