#pragma once

#include <chrono>
#include <optional>

#include "waits/cancel_token.h"
#include "serial/transport.h"

namespace kelvry {

// A real serial port through the Win32 comm API: "\\.\COM7" opened
// exclusively for overlapped I/O, the read time-out done by the driver as a
// total time-out. A read waits on its transfer and on an event that the
// job's cancel token sets, so a cancel calls the read off at once, as on
// POSIX.
class TWin32SerialTransport final : public ISerialTransport {
public:
  explicit TWin32SerialTransport(const TCancelToken& cancel);
  ~TWin32SerialTransport() override;
  TWin32SerialTransport(const TWin32SerialTransport&) = delete;
  TWin32SerialTransport& operator=(const TWin32SerialTransport&) = delete;

  bool open(const std::string& port, int32_t baud) override;
  void close() override;
  bool clearErrors() override;
  bool discardInput() override;
  bool write(const uint8_t* data, size_t count, size_t& written) override;
  bool read(uint8_t* data, size_t count, size_t& received, std::chrono::milliseconds timeout) override;
  const TSerialFailure& lastFailure() const override { return failure_; }

private:
  bool fail(const char* operation);
  bool configure(int32_t baud);
  bool useReadTimeout(size_t count, std::chrono::milliseconds timeout);
  bool finishTransfer(bool started, void* overlapped, unsigned long& moved, bool untilCancel);

  const TCancelToken& cancel_;
  void* port_;  // the port's HANDLE; INVALID_HANDLE_VALUE when closed
  void* transferDone_;  // manual-reset event of the transfer under way
  void* cancelled_;     // manual-reset event the token sets; never reset, as the token is never cleared
  std::optional<TCancelToken::TWakeRegistration> wakeOnCancel_;
  // The read's total time-out the driver has now, so that it is only
  // changed when a read asks for another one.
  unsigned long readMultiplierMs_ = 0;
  unsigned long readConstantMs_ = 0;
  TSerialFailure failure_;
};

// "\\.\COM7" for "COM7": the device namespace reaches every port, COM10 and
// above included. A name that already has a namespace prefix is kept.
std::string win32PortDevice(const std::string& port);

}  // namespace kelvry
