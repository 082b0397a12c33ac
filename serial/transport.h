#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvry {

// Why a serial operation failed, in the platform's own words.
struct TSerialFailure {
  std::string operation;  // the step that failed: "open", "tcsetattr", "read" ...
  int errorNumber = 0;    // errno (GetLastError on Windows); 0 when nothing failed
  std::string reason;     // the platform's text for it, e.g. "Input/output error"
  bool failed() const { return errorNumber != 0 || !operation.empty(); }
};

// Why a port did not open, for front ends that want to explain it; the
// engine itself only reports "port not ready".
using TPortOpenError = TSerialFailure;

// A serial line as the logger link uses it. One implementation per platform
// (POSIX termios, Win32) plus one in memory over the virtual logger. Every
// failing call leaves its reason in lastFailure().
//
// Not thread-safe: one job uses one transport on its own thread.
class ISerialTransport {
public:
  virtual ~ISerialTransport() = default;

  // Opens the port exclusively at `baud`, 8N1, no flow control, DTR raised
  // and RTS inactive. False, with the reason kept, on any failure; nothing
  // stays open then.
  virtual bool open(const std::string& port, int32_t baud) = 0;
  virtual void close() = 0;

  // Clears latched line errors; false when the line is gone.
  virtual bool clearErrors() = 0;
  // Discards what has arrived and not been read.
  virtual bool discardInput() = 0;
  // Writes up to `count` bytes within 1 ms per byte; `written` tells how many
  // went out. False when the platform call fails.
  virtual bool write(const uint8_t* data, size_t count, size_t& written) = 0;
  // Reads until `count` bytes arrived or `timeout` passed since the call
  // began; `received` may be 0. A cancel ends the wait early. False when the
  // platform call fails (a hang-up included).
  virtual bool read(uint8_t* data, size_t count, size_t& received, std::chrono::milliseconds timeout) = 0;

  virtual const TSerialFailure& lastFailure() const = 0;
};

}  // namespace kelvry
