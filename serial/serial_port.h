#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The serial port as the logger link needs it. POSIX termios implements it
// here; a Win32 version implements the same functions later.

namespace kelvry {

using TPortHandle = intptr_t;
inline constexpr TPortHandle INVALID_PORT_HANDLE = -1;

// Why the last openComPort on this thread failed, for front ends that want to
// explain it; the engine itself only reports "port not ready".
struct TPortOpenError {
  int errorNumber = 0;     // errno of the failed step, 0 when the open worked
  std::string operation;   // the step that failed, e.g. "open", "tcsetattr"
};

// Opens a port by name ("/dev/ttyUSB0" or the bare "ttyUSB0") exclusively,
// 8N1 without flow control at the given baud rate, DTR raised last and RTS
// inactive. Returns INVALID_PORT_HANDLE on any failure and leaves nothing open.
TPortHandle openComPort(const std::string& sPort, int32_t iBaud);
void closeComPort(TPortHandle hPort);
const TPortOpenError& lastOpenError();

// Maps a port name to its device path: an absolute path is taken as it is,
// any other name is looked up in /dev ("ttyUSB0", "pts/3").
std::string portDevicePath(const std::string& sPort);

// Clears latched line errors so that I/O can go on. False when the handle is
// not open or the line has hung up (adapter unplugged, far end gone).
bool clearCommError(TPortHandle hPort);
// Discards everything in the input and output buffers.
bool purgeComm(TPortHandle hPort);
// Writes up to `count` bytes within 1 ms per byte; `written` tells how many
// went out. False when the platform call fails.
bool writeComm(TPortHandle hPort, const uint8_t* data, size_t count, size_t& written);
// Reads until `count` bytes have arrived or 200 ms + 1 ms per requested byte
// have passed since the call began; `received` may be 0. False when the
// platform call fails (a hang-up included).
bool readComm(TPortHandle hPort, uint8_t* data, size_t count, size_t& received);

}  // namespace kelvry
