#include "serial/comm_settings_win32.h"

#include <algorithm>

#include "serial/reply_timeout.h"

namespace kelvry {

namespace {
constexpr auto kReadConstantMs = static_cast<DWORD>(kReplyTimeoutBase.count());
constexpr auto kReadPerByteMs = static_cast<DWORD>(kReplyTimeoutPerByte.count());
constexpr DWORD kWritePerByteMs = kReadPerByteMs;
constexpr char kUnusedCharacter = 0x20;
}  // namespace

DCB loggerLineState(int32_t baud) {
  DCB state{};
  state.DCBlength = sizeof state;
  state.BaudRate = static_cast<DWORD>(baud);
  state.fBinary = TRUE;
  state.fParity = FALSE;
  state.fOutxCtsFlow = FALSE;
  state.fOutxDsrFlow = FALSE;
  state.fDtrControl = DTR_CONTROL_DISABLE;
  state.fDsrSensitivity = FALSE;
  state.fTXContinueOnXoff = TRUE;
  state.fOutX = FALSE;
  state.fInX = FALSE;
  state.fErrorChar = FALSE;
  state.fNull = FALSE;
  state.fRtsControl = RTS_CONTROL_DISABLE;
  state.fAbortOnError = FALSE;
  state.XonLim = 0;
  state.XoffLim = 0;
  state.ByteSize = 8;
  state.Parity = NOPARITY;
  state.StopBits = ONESTOPBIT;
  state.XonChar = kUnusedCharacter;
  state.XoffChar = kUnusedCharacter;
  state.ErrorChar = kUnusedCharacter;
  state.EofChar = kUnusedCharacter;
  state.EvtChar = kUnusedCharacter;
  return state;
}

COMMTIMEOUTS loggerTimeouts() {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 0;
  timeouts.ReadTotalTimeoutMultiplier = kReadPerByteMs;
  timeouts.ReadTotalTimeoutConstant = kReadConstantMs;
  timeouts.WriteTotalTimeoutMultiplier = kWritePerByteMs;
  timeouts.WriteTotalTimeoutConstant = 0;
  return timeouts;
}

COMMTIMEOUTS timeoutsForRead(size_t count, std::chrono::milliseconds timeout) {
  COMMTIMEOUTS timeouts = loggerTimeouts();
  const auto total = static_cast<uint64_t>(std::max<int64_t>(timeout.count(), 1));
  if (total >= count * uint64_t{kReadPerByteMs}) {
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(total - count * kReadPerByteMs);
  } else {
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(total);
  }
  return timeouts;
}

}  // namespace kelvry
