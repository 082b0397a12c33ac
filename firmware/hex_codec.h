#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kelvry {

// Converts between one Intel HEX record and its text line: ':' then
// upper-case hex pairs (count, address high, address low, type, data,
// checksum), no line terminator, at most 64 data bytes.
//
// The working record and line belong to the caller (one codec per job), so
// two jobs never share them. Callers fill one side, convert, read the other.
struct THexCodec {
  static constexpr int kMaxData = 64;

  // 0 count, 1 address high, 2 address low, 3 type, 4.. data, then checksum.
  std::array<uint8_t, 4 + kMaxData + 1> hexRecord{};
  std::string hexLine;

  // Builds hexLine from hexRecord. False (and hexLine ":") when the count
  // exceeds 64.
  bool hexRecordToLine();

  // Parses hexLine into hexRecord. True only for a well-formed line with a
  // correct checksum; a failed parse leaves the bytes decoded so far.
  bool hexLineToRecord();

  // Fills hexRecord with a one-byte command record (type 5) for a block.
  void setCommandRecord(uint16_t blockAddress, uint8_t command);

  uint8_t count() const { return hexRecord[0]; }
  uint8_t addressHigh() const { return hexRecord[1]; }
  uint8_t addressLow() const { return hexRecord[2]; }
  uint8_t type() const { return hexRecord[3]; }
  uint8_t data(int i) const { return hexRecord[static_cast<size_t>(4 + i)]; }
};

}  // namespace kelvry
