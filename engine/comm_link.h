#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

#include "waits/cancel_token.h"
#include "waits/clock.h"
#include "serial/transport.h"

namespace kelvry {

// The logger link over an open serial line: 8-byte command frames with a
// CRC-8, and bootloader records sent as Intel HEX text and answered the same
// way. Every attempt purges the line first, so stale bytes of an earlier
// reply never mix into a new one; every exchange makes at most 5 attempts,
// 100 ms apart, and looks at the cancel token before each. Failures are
// raised as ETarvo codes 11 (with the serial failure in the platform's
// words), 20, 30 and 41.
class TCommLink {
public:
  static constexpr size_t kBufferSize = 1501;
  static constexpr size_t kFrameSize = 8;

  TCommLink(ISerialTransport& port, IClock& clock, const TCancelToken& bCancel);

  bool sendFrame(bool expectReply);
  bool sendCommand(bool expectReply, uint8_t code, uint8_t p1 = 0, uint8_t p2 = 0, uint8_t p3 = 0,
                   uint8_t p4 = 0, uint8_t p5 = 0, uint8_t p6 = 0);
  bool sendRecord(const std::string& line, uint8_t n);
  bool sendRecordRetry(const std::string& line, uint8_t n, bool raiseOnFail);
  void getReplyText(std::string& text) const;

  // The reply frame of the last command exchange.
  const uint8_t* replyFrame() const { return FRxBuffer.data(); }

  // A pause of the job; false when a cancel ended it early.
  bool pauseMs(int milliseconds);
  // A pause that a cancel turns into error 20.
  void pauseOrCancel(int milliseconds);

private:
  template <class Attempt>
  bool withRetries(Attempt attempt);
  void prepareLine();
  [[noreturn]] void failSerial(const char* sMsg) const;
  bool readReply(size_t count, size_t& received);

  ISerialTransport& FPort;
  IClock& FClock;
  const TCancelToken& bCancel;
  std::array<uint8_t, kBufferSize> FTxBuffer{};
  std::array<uint8_t, kBufferSize> FRxBuffer{};
  int32_t FRxCnt = 0;
};

// Whether `length` characters are a record's text: ':' and upper-case hex
// digits only.
bool isRecordText(const uint8_t* text, size_t length);

}  // namespace kelvry
