#include "tools/logger_sim/reply_faults.h"

#include <cstdint>

#include "engine/checksums.h"
#include "firmware/hex_codec.h"
#include "firmware/hex_digits.h"

namespace kelvry::sim {

namespace {

constexpr uint8_t kExceptionBit = 0x20;
constexpr size_t kFrameCrcIndex = 7;
constexpr size_t kFrameClassLowIndex = 3;

uint8_t frameCrc(const std::string& frame) {
  return crc8(reinterpret_cast<const uint8_t*>(frame.data()), static_cast<uint16_t>(kFrameCrcIndex));
}

void setFrameCrc(std::string& frame) { frame[kFrameCrcIndex] = static_cast<char>(frameCrc(frame)); }

void flipFrameCrc(std::string& frame) { frame[kFrameCrcIndex] = static_cast<char>(frameCrc(frame) ^ 0xFF); }

void setExceptionBit(std::string& frame) {
  frame[0] = static_cast<char>(static_cast<uint8_t>(frame[0]) | kExceptionBit);
}

void breakRecordChecksum(std::string& line) {
  THexCodec codec;
  codec.hexLine = line;
  codec.hexLineToRecord();
  const uint8_t wrong = static_cast<uint8_t>(codec.hexRecord[4 + codec.count()] + 1);
  line[line.size() - 2] = nibbleToHexDigit(static_cast<uint8_t>(wrong >> 4));
  line[line.size() - 1] = nibbleToHexDigit(wrong);
}

}  // namespace

void applyFrameFault(std::string& frame, TReplyFault fault) {
  switch (fault) {
    case TReplyFault::None:
    case TReplyFault::Drop: break;
    case TReplyFault::Truncate: frame.pop_back(); break;
    case TReplyFault::BadChecksum: flipFrameCrc(frame); break;
    case TReplyFault::ExceptionBit:
      setExceptionBit(frame);
      setFrameCrc(frame);
      break;
    case TReplyFault::ExceptionBitBadChecksum:
      setExceptionBit(frame);
      flipFrameCrc(frame);
      break;
    case TReplyFault::Nul: frame.assign(frame.size(), '\0'); break;
    case TReplyFault::CorruptChar:
      frame[kFrameClassLowIndex] = static_cast<char>(static_cast<uint8_t>(frame[kFrameClassLowIndex]) ^ 0x01);
      setFrameCrc(frame);
      break;
  }
}

void applyRecordFault(std::string& line, TReplyFault fault) {
  switch (fault) {
    case TReplyFault::Truncate: line.pop_back(); break;
    case TReplyFault::BadChecksum: breakRecordChecksum(line); break;
    case TReplyFault::CorruptChar: corruptRecordData(line); break;
    case TReplyFault::Nul: line.assign(line.size(), '\0'); break;
    case TReplyFault::None:
    case TReplyFault::Drop:
    case TReplyFault::ExceptionBit:
    case TReplyFault::ExceptionBitBadChecksum: break;
  }
}

void corruptRecordData(std::string& line) {
  THexCodec codec;
  codec.hexLine = line;
  if (!codec.hexLineToRecord() || codec.count() == 0) return;
  // Flipping the high bit of the first data byte changes exactly its first
  // character.
  codec.hexRecord[4] = static_cast<uint8_t>(codec.hexRecord[4] ^ 0x80);
  codec.hexRecordToLine();
  line = codec.hexLine;
}

}  // namespace kelvry::sim
