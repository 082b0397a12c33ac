#pragma once

#include <chrono>

#include "waits/cancel_token.h"
#include "serial/transport.h"

namespace kelvry {

// A real serial port through the Win32 comm API: "\\.\COM7" opened
// exclusively with blocking I/O, the read time-out done by the driver as a
// total time-out. A cancel is seen before every read and ends the job at the
// next exchange; a read already waiting runs out its time-out first (at most
// 200 ms + 1 ms per byte).
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

  const TCancelToken& cancel_;
  void* port_;  // the port's HANDLE; INVALID_HANDLE_VALUE when closed
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
