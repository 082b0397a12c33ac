// The logger link: 8-byte command frames with a CRC-8, and bootloader
// records sent as Intel HEX text and answered the same way. Every attempt
// purges the line first, so stale bytes of an earlier reply never mix into a
// new one; every exchange makes at most 5 attempts, 100 ms apart.

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/checksums.h"
#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "engine/tarvo_exception.h"

namespace kelvry {

namespace {

constexpr int kAttempts = 5;
constexpr int kAttemptPauseMs = 100;
constexpr size_t kFrameSize = 8;
constexpr uint8_t kExceptionBit = 0x20;

void prepareLine(TPortHandle hPort) {
  if (!clearCommError(hPort)) throw ETarvo(err::SerialIo, "ClearCommError");
  if (!purgeComm(hPort)) throw ETarvo(err::SerialIo, "PurgeComm");
}

// Runs `attempt` up to five times; the cancel flag is checked before each.
template <class Attempt>
bool withRetries(Attempt attempt) {
  for (int i = 1;; ++i) {
    if (bCancel) throw ETarvo(err::Cancelled);
    if (attempt()) return true;
    if (i == kAttempts) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(kAttemptPauseMs));
  }
}

}  // namespace

bool TCommThread::sendFrame(bool expectReply) {
  prepareLine(FhPort);
  size_t written = 0;
  if (!writeComm(FhPort, FTxBuffer.data(), kFrameSize, written)) throw ETarvo(err::SerialIo, "WriteFile");
  if (written < kFrameSize) return false;
  if (!expectReply) return true;

  size_t received = 0;
  if (!readComm(FhPort, FRxBuffer.data(), kFrameSize, received)) throw ETarvo(err::SerialIo, "ReadFile");
  if (received < kFrameSize) return false;
  if (crc8(FRxBuffer.data(), 7) != FRxBuffer[7]) return false;
  if (FRxBuffer[0] & kExceptionBit) throw ETarvo(err::LoggerException, "Tarvo Exception!");
  return true;
}

bool TCommThread::sendCommand(bool expectReply, uint8_t code, uint8_t p1, uint8_t p2, uint8_t p3,
                              uint8_t p4, uint8_t p5, uint8_t p6) {
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

bool TCommThread::sendRecord(const std::string& line, uint8_t n) {
  FRxCnt = 0;
  prepareLine(FhPort);
  const size_t txCnt = line.size() % 256;
  size_t written = 0;
  if (!writeComm(FhPort, reinterpret_cast<const uint8_t*>(line.data()), txCnt, written))
    throw ETarvo(err::SerialIo, "WriteFile");
  if (written != txCnt) throw ETarvo(err::SerialIo, "WriteFile <> txCnt");
  if (n == 0) return true;

  // The reply length is held in 8 bits, like the request's.
  const uint8_t rxCnt = static_cast<uint8_t>(2 * n + 11);
  size_t received = 0;
  if (!readComm(FhPort, FRxBuffer.data(), rxCnt, received)) throw ETarvo(err::SerialIo, "ReadFile");
  FRxCnt = rxCnt;
  if (received < rxCnt) return false;
  // The colon is not part of the checksum.
  return checkHexReply(reinterpret_cast<const char*>(FRxBuffer.data()) + 1, n + 5) == 0;
}

bool TCommThread::sendRecordRetry(const std::string& line, uint8_t n, bool raiseOnFail) {
  if (withRetries([&] { return sendRecord(line, n); })) return true;
  if (raiseOnFail) throw ETarvo(err::NoReply);
  return false;
}

void TCommThread::getReplyText(std::string& text) const {
  text.assign(reinterpret_cast<const char*>(FRxBuffer.data()), static_cast<size_t>(FRxCnt % 256));
}

}  // namespace kelvry
