#include "serial/transport_win32.h"

#include <windows.h>

#include <system_error>

#include "serial/com_port_name.h"
#include "serial/comm_settings_win32.h"
#include "serial/port_name.h"
#include "text/utf16_text.h"
#include "text/win32_error_text.h"

namespace kelvry {

namespace {

// A virtual port's driver may not have the modem lines (Wine's mapping of a
// pseudo-terminal answers so): there is then nothing to drive.
bool modemLinesMissing() { return GetLastError() == ERROR_NOT_SUPPORTED; }

HANDLE makeManualResetEvent() {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!event) throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateEventW");
  return event;
}

}  // namespace

// "com7:" is COM7 in messages as well, the name Device Manager shows.
std::string portDevicePath(const std::string& sPort) { return canonicalComPortName(sPort); }

std::string win32PortDevice(const std::string& port) {
  const std::string name = canonicalComPortName(port);
  if (name.starts_with("\\\\.\\") || name.starts_with("\\\\?\\")) return name;
  return "\\\\.\\" + name;
}

TWin32SerialTransport::TWin32SerialTransport(const TCancelToken& cancel)
    : cancel_(cancel),
      port_(INVALID_HANDLE_VALUE),
      transferDone_(makeManualResetEvent()),
      cancelled_(makeManualResetEvent()) {
  wakeOnCancel_.emplace(cancel.onCancel([event = cancelled_] { SetEvent(event); }));
}

// The wake-up goes first, so that a cancel on another thread never sets an
// event that is already closed.
TWin32SerialTransport::~TWin32SerialTransport() {
  close();
  wakeOnCancel_.reset();
  CloseHandle(transferDone_);
  CloseHandle(cancelled_);
}

bool TWin32SerialTransport::fail(const char* operation) {
  const DWORD error = GetLastError();
  failure_ = {operation, static_cast<int>(error), win32ErrorText(error)};
  return false;
}

bool TWin32SerialTransport::open(const std::string& port, int32_t baud) {
  close();
  failure_ = {};
  if (port.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return fail("CreateFileW");
  }
  // Read and write, not shared (no other process may hold it), only an
  // existing port, overlapped I/O.
  port_ = CreateFileW(toWide(win32PortDevice(port)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                      FILE_FLAG_OVERLAPPED, nullptr);
  if (port_ == INVALID_HANDLE_VALUE) return fail("CreateFileW");
  if (configure(baud)) return true;
  // The reason is kept; the half-opened port is let go, so that a second
  // attempt is not blocked by a leftover handle.
  close();
  return false;
}

// In this order: the whole line state (DTR and RTS off), the driver's
// buffers, the time-outs, and DTR raised last, so that the logger sees a
// settled line when DTR rises.
bool TWin32SerialTransport::configure(int32_t baud) {
  DCB state = loggerLineState(baud);
  if (!SetCommState(port_, &state)) return fail("SetCommState");
  if (!SetupComm(port_, kDriverBufferBytes, kDriverBufferBytes)) return fail("SetupComm");
  COMMTIMEOUTS timeouts = loggerTimeouts();
  if (!SetCommTimeouts(port_, &timeouts)) return fail("SetCommTimeouts");
  readMultiplierMs_ = timeouts.ReadTotalTimeoutMultiplier;
  readConstantMs_ = timeouts.ReadTotalTimeoutConstant;
  if (!EscapeCommFunction(port_, SETDTR) && !modemLinesMissing()) return fail("EscapeCommFunction");
  return true;
}

void TWin32SerialTransport::close() {
  if (port_ == INVALID_HANDLE_VALUE) return;
  CloseHandle(port_);
  port_ = INVALID_HANDLE_VALUE;
}

bool TWin32SerialTransport::clearErrors() {
  DWORD errors = 0;
  COMSTAT status{};
  return ClearCommError(port_, &errors, &status) || fail("ClearCommError");
}

// Only what has arrived: a request still going out is left alone.
bool TWin32SerialTransport::discardInput() { return PurgeComm(port_, PURGE_RXCLEAR) || fail("PurgeComm"); }

// Waits for a transfer to end: its own end (the driver's time-out included)
// or, with `untilCancel`, a cancel, which calls it off. What it moved before
// is kept either way. False with the system's error when it failed.
bool TWin32SerialTransport::finishTransfer(bool started, void* overlapped, unsigned long& moved, bool untilCancel) {
  auto* transfer = static_cast<OVERLAPPED*>(overlapped);
  if (!started && GetLastError() != ERROR_IO_PENDING) return false;
  if (untilCancel) {
    const HANDLE events[] = {transferDone_, cancelled_};
    if (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) CancelIoEx(port_, transfer);
  }
  // The buffer stays in use until the transfer has really ended.
  if (GetOverlappedResult(port_, transfer, &moved, TRUE)) return true;
  switch (GetLastError()) {
    // The driver's total time-out ended it, with what had arrived: Windows
    // reports that as success, Wine as ERROR_TIMEOUT.
    case ERROR_TIMEOUT: return true;
    case ERROR_OPERATION_ABORTED: return cancel_.isCancelled();
    default: return false;
  }
}

bool TWin32SerialTransport::write(const uint8_t* data, size_t count, size_t& written) {
  OVERLAPPED transfer{};
  transfer.hEvent = transferDone_;
  DWORD sent = 0;
  const BOOL started = WriteFile(port_, data, static_cast<DWORD>(count), nullptr, &transfer);
  const bool ok = finishTransfer(started, &transfer, sent, false);
  written = sent;
  return ok || fail("WriteFile");
}

bool TWin32SerialTransport::useReadTimeout(size_t count, std::chrono::milliseconds timeout) {
  COMMTIMEOUTS timeouts = timeoutsForRead(count, timeout);
  if (timeouts.ReadTotalTimeoutMultiplier == readMultiplierMs_ && timeouts.ReadTotalTimeoutConstant == readConstantMs_)
    return true;
  if (!SetCommTimeouts(port_, &timeouts)) return fail("SetCommTimeouts");
  readMultiplierMs_ = timeouts.ReadTotalTimeoutMultiplier;
  readConstantMs_ = timeouts.ReadTotalTimeoutConstant;
  return true;
}

bool TWin32SerialTransport::read(uint8_t* data, size_t count, size_t& received, std::chrono::milliseconds timeout) {
  received = 0;
  if (cancel_.isCancelled() || count == 0) return true;
  if (!useReadTimeout(count, timeout)) return false;
  OVERLAPPED transfer{};
  transfer.hEvent = transferDone_;
  DWORD got = 0;
  const BOOL started = ReadFile(port_, data, static_cast<DWORD>(count), nullptr, &transfer);
  const bool ok = finishTransfer(started, &transfer, got, true);
  received = got;
  return ok || fail("ReadFile");
}

}  // namespace kelvry
