#include "engine/comm_link.h"

#include <algorithm>

#include "engine/checksums.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"
#include "firmware/hex_digits.h"
#include "serial/reply_timeout.h"

namespace kelvry {

namespace {

constexpr int kAttempts = 5;
constexpr int kAttemptPauseMs = 100;
constexpr uint8_t kExceptionBit = 0x20;

}  // namespace

bool isRecordText(const uint8_t* text, size_t length) {
  if (length == 0 || text[0] != ':') return false;
  uint8_t ignored = 0;
  return std::all_of(text + 1, text + length, [&](uint8_t c) { return hexDigitValue(static_cast<char>(c), ignored); });
}

TCommLink::TCommLink(ISerialTransport& port, IClock& clock, const TCancelToken& cancel)
    : FPort(port), FClock(clock), bCancel(cancel) {}

// The reason is taken the moment the call failed, so that it travels with
// the error and nothing has to ask the port afterwards.
void TCommLink::failSerial(const char* sMsg) const { throw ETarvo(err::SerialIo, sMsg, FPort.lastFailure()); }

void TCommLink::prepareLine() {
  if (!FPort.clearErrors()) failSerial("ClearCommError");
  if (!FPort.discardInput()) failSerial("PurgeComm");
}

// One total time-out from the start of the read and none between
// characters: a reply that trickles in is collected as a whole.
bool TCommLink::readReply(size_t count, size_t& received) {
  return FPort.read(FRxBuffer.data(), count, received, replyTimeout(count));
}

// Runs `attempt` up to five times; the cancel flag is checked before each,
// and a cancel also cuts the pause between attempts short.
template <class Attempt>
bool TCommLink::withRetries(Attempt attempt) {
  for (int i = 1;; ++i) {
    if (bCancel.isCancelled()) throw ETarvo(err::Cancelled);
    if (attempt()) return true;
    if (i == kAttempts) return false;
    pauseMs(kAttemptPauseMs);
  }
}

bool TCommLink::pauseMs(int milliseconds) {
  return FClock.sleepFor(std::chrono::milliseconds(milliseconds), bCancel);
}

void TCommLink::pauseOrCancel(int milliseconds) {
  if (!pauseMs(milliseconds)) throw ETarvo(err::Cancelled);
}

bool TCommLink::sendFrame(bool expectReply) {
  prepareLine();
  size_t written = 0;
  if (!FPort.write(FTxBuffer.data(), kFrameSize, written)) failSerial("WriteFile");
  if (written < kFrameSize) return false;
  if (!expectReply) return true;

  size_t received = 0;
  if (!readReply(kFrameSize, received)) failSerial("ReadFile");
  if (received < kFrameSize) return false;
  if (crc8(FRxBuffer.data(), 7) != FRxBuffer[7]) return false;
  if (FRxBuffer[0] & kExceptionBit) throw ETarvo(err::LoggerException, "Tarvo Exception!");
  return true;
}

bool TCommLink::sendCommand(bool expectReply, uint8_t code, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4,
                            uint8_t p5, uint8_t p6) {
  if (code == 255) {
    // The wake-up frame is all zeros: its CRC-8 is zero as well.
    std::fill_n(FTxBuffer.begin(), kFrameSize, uint8_t{0});
  } else {
    FTxBuffer[0] = static_cast<uint8_t>(code | 0x80);
    const uint8_t params[6] = {p1, p2, p3, p4, p5, p6};
    std::copy(std::begin(params), std::end(params), FTxBuffer.begin() + 1);
    FTxBuffer[7] = crc8(FTxBuffer.data(), 7);
  }
  if (!withRetries([&] { return sendFrame(expectReply); })) throw ETarvo(err::NoReply);
  return true;
}

bool TCommLink::sendRecord(const std::string& line, uint8_t n) {
  FRxCnt = 0;
  prepareLine();
  const size_t txCnt = line.size() % 256;
  size_t written = 0;
  if (!FPort.write(reinterpret_cast<const uint8_t*>(line.data()), txCnt, written)) failSerial("WriteFile");
  if (written != txCnt) throw ETarvo(err::SerialIo, "WriteFile <> txCnt");
  if (n == 0) return true;

  // The reply length is held in 8 bits, like the request's.
  const uint8_t rxCnt = static_cast<uint8_t>(2 * n + 11);
  size_t received = 0;
  if (!readReply(rxCnt, received)) failSerial("ReadFile");
  FRxCnt = rxCnt;
  if (received < rxCnt) return false;
  // Line noise is no record: bytes that are not hex digits would decode as
  // zeros and could pass the checksum.
  if (!isRecordText(FRxBuffer.data(), rxCnt)) return false;
  // The colon is not part of the checksum.
  return checkHexReply(reinterpret_cast<const char*>(FRxBuffer.data()) + 1, n + 5) == 0;
}

bool TCommLink::sendRecordRetry(const std::string& line, uint8_t n, bool raiseOnFail) {
  if (withRetries([&] { return sendRecord(line, n); })) return true;
  if (raiseOnFail) throw ETarvo(err::NoReply);
  return false;
}

void TCommLink::getReplyText(std::string& text) const {
  text.assign(reinterpret_cast<const char*>(FRxBuffer.data()), static_cast<size_t>(FRxCnt % 256));
}

}  // namespace kelvry
