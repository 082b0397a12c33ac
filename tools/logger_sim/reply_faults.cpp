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
constexpr size_t kAddressHighIndex = 1;
constexpr size_t kAddressLowIndex = 2;
constexpr size_t kTypeIndex = 3;
constexpr size_t kDataIndex = 4;

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

// Flipping the high bit of a byte changes exactly its first character.
void flipDataByte(THexCodec& codec, int index) {
  if (index < 0 || index >= codec.count()) return;
  codec.hexRecord[static_cast<size_t>(kDataIndex + index)] ^= 0x80;
}

void appendHexByte(std::string& text, uint8_t value) {
  text += nibbleToHexDigit(static_cast<uint8_t>(value >> 4));
  text += nibbleToHexDigit(value);
}

// One up in the high byte, one down in the low byte: the address bytes add up
// as before, so the checksum stays the same and the line differs from the
// one sent in its address alone.
void moveToBlockOfTheSameSum(THexCodec& codec) {
  codec.hexRecord[kAddressHighIndex] = static_cast<uint8_t>(codec.hexRecord[kAddressHighIndex] + 1);
  codec.hexRecord[kAddressLowIndex] = static_cast<uint8_t>(codec.hexRecord[kAddressLowIndex] - 1);
}

// Written by hand: the codec builds no record of more than 64 data bytes.
std::string withOneMoreDataByte(const THexCodec& codec) {
  const auto count = static_cast<uint8_t>(codec.count() + 1);
  uint8_t sum = count;
  std::string line = ":";
  appendHexByte(line, count);
  for (size_t i = 1; i < kDataIndex + codec.count(); ++i) {
    sum = static_cast<uint8_t>(sum + codec.hexRecord[i]);
    appendHexByte(line, codec.hexRecord[i]);
  }
  appendHexByte(line, static_cast<uint8_t>(0x100 - sum));  // the added byte
  appendHexByte(line, 0x00);                                // the checksum it leads to
  return line;
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
    case TReplyFault::CorruptChar: corruptRecord(line, TEchoPart::FirstDataByte); break;
    case TReplyFault::Nul: line.assign(line.size(), '\0'); break;
    case TReplyFault::None:
    case TReplyFault::Drop:
    case TReplyFault::ExceptionBit:
    case TReplyFault::ExceptionBitBadChecksum: break;
  }
}

void corruptRecord(std::string& line, TEchoPart part) {
  THexCodec codec;
  codec.hexLine = line;
  if (!codec.hexLineToRecord()) return;
  switch (part) {
    case TEchoPart::FirstDataByte: flipDataByte(codec, 0); break;
    case TEchoPart::MiddleDataByte: flipDataByte(codec, codec.count() / 2); break;
    case TEchoPart::LastDataByte: flipDataByte(codec, codec.count() - 1); break;
    case TEchoPart::Address: moveToBlockOfTheSameSum(codec); break;
    case TEchoPart::Type: codec.hexRecord[kTypeIndex] ^= 0x01; break;
    case TEchoPart::Length: line = withOneMoreDataByte(codec); return;
  }
  codec.hexRecordToLine();
  line = codec.hexLine;
}

}  // namespace kelvry::sim
