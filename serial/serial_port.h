#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "serial/port_name.h"
#include "serial/terminal_guard_posix.h"
#include "serial/transport.h"

// The POSIX serial port's building blocks, as TPosixSerialTransport
// (serial/posix_transport.h) puts them together for the logger link.

namespace kelvry {

using TPortHandle = intptr_t;
inline constexpr TPortHandle INVALID_PORT_HANDLE = -1;

// Opens a port by name ("/dev/ttyUSB0" or the bare "ttyUSB0") exclusively,
// 8N1 without flow control at the given baud rate, DTR raised last and RTS
// inactive. Returns INVALID_PORT_HANDLE on any failure, with the step and
// errno in `why` when given, and leaves nothing open.
// The settings the port had before are kept in `previous`, for closeComPort
// to put back.
TPortHandle openComPort(const std::string& sPort, int32_t iBaud, TPortOpenError* why = nullptr,
                        TSavedLineSettings* previous = nullptr);
void closeComPort(TPortHandle hPort, const TSavedLineSettings* previous = nullptr);

// Clears latched line errors so that I/O can go on. False when the handle is
// not open or the line has hung up (adapter unplugged, far end gone).
bool clearCommError(TPortHandle hPort);
// Discards everything in the input and output buffers.
bool purgeComm(TPortHandle hPort);
// Writes up to `count` bytes within 1 ms per byte; `written` tells how many
// went out. False when the platform call fails.
bool writeComm(TPortHandle hPort, const uint8_t* data, size_t count, size_t& written);
// How fast a reply can come in on the line: the time one byte takes at the
// port's baud rate, and the earliest time a reply's first byte can arrive
// when the line really runs at that rate (the request has to go out first).
struct TReplyPacing {
  std::chrono::microseconds byteTime{};  // zero: read every byte as it comes
  std::chrono::steady_clock::time_point earliestAtLineSpeed{};
};

// Reads until `count` bytes have arrived or `timeout` has passed since the
// call began (serial/reply_timeout.h has the link's rule); `received` may be
// 0. False when the platform call fails (a hang-up included, as EIO). The
// wait also ends early when `wakeFd` (-1: none) becomes readable. With a
// pacing the read does not wake for every byte of a reply that arrives at
// line speed.
bool readCommFor(TPortHandle hPort, uint8_t* data, size_t count, size_t& received,
                 std::chrono::milliseconds timeout, int wakeFd = -1, const TReplyPacing& pacing = {});

// The time one byte (start bit, 8 data bits, stop bit) takes at `baud`.
std::chrono::microseconds byteTimeAt(int32_t baud);

}  // namespace kelvry
