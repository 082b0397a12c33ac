#pragma once

#include <optional>

#include "waits/cancel_token.h"
#include "serial/serial_port.h"
#include "serial/transport.h"

namespace kelvry {

// A real serial port on POSIX termios. A read blocks in poll() on the line
// and on an eventfd that the job's cancel token signals, so a cancel ends
// it at once; a reply that arrives at line speed is read in a few pieces,
// not byte by byte.
class TPosixSerialTransport final : public ISerialTransport {
public:
  explicit TPosixSerialTransport(const TCancelToken& cancel);
  ~TPosixSerialTransport() override;
  TPosixSerialTransport(const TPosixSerialTransport&) = delete;
  TPosixSerialTransport& operator=(const TPosixSerialTransport&) = delete;

  bool open(const std::string& port, int32_t baud) override;
  void close() override;
  bool clearErrors() override;
  bool discardInput() override;
  bool write(const uint8_t* data, size_t count, size_t& written) override;
  bool read(uint8_t* data, size_t count, size_t& received, std::chrono::milliseconds timeout) override;
  const TSerialFailure& lastFailure() const override { return failure_; }

private:
  bool fail(const char* operation);

  const TCancelToken& cancel_;
  TPortHandle port_ = INVALID_PORT_HANDLE;
  TSavedLineSettings previousSettings_;  // put back at close
  TReplyPacing pacing_;  // the line's pace at the open baud rate, from the last request on
  int wakeFd_ = -1;
  std::optional<TCancelToken::TWakeRegistration> wakeOnCancel_;
  TSerialFailure failure_;
};

}  // namespace kelvry
