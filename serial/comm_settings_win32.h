#pragma once

#include <windows.h>

#include <chrono>
#include <cstddef>
#include <cstdint>

// The logger's line settings and time-outs in the Win32 comm API's terms.

namespace kelvry {

inline constexpr DWORD kDriverBufferBytes = 1000;  // input and output alike

// The complete line state, built from zero so that nothing of an earlier
// user of the port carries over: `baud` 8N1, binary, no parity checking, no
// flow control of any kind (transmission goes on after an XOFF), null bytes
// kept, no error-character replacement, no abort on errors. DTR and RTS are
// not driven by the driver (both off); the open raises DTR itself as its last
// step. The special characters are without effect and all 0x20.
DCB loggerLineState(int32_t baud);

// A read returns when all requested bytes arrived or its total time-out ran
// out since the call began (200 ms + 1 ms per requested byte, no interval
// time-out); a write may take 1 ms per byte.
COMMTIMEOUTS loggerTimeouts();

// The same time-outs with a read that must end after `timeout` for a
// request of `count` bytes, kept in the per-byte form where it fits.
COMMTIMEOUTS timeoutsForRead(size_t count, std::chrono::milliseconds timeout);

}  // namespace kelvry
