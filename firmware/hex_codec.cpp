#include "firmware/hex_codec.h"

#include "firmware/hex_digits.h"

namespace kelvry {

namespace {

void appendByte(std::string& line, uint8_t b) {
  line += nibbleToHexDigit(static_cast<uint8_t>(b >> 4));
  line += nibbleToHexDigit(b);
}

bool decodePair(const std::string& line, size_t pos, uint8_t& out) {
  uint8_t hi = 0;
  uint8_t lo = 0;
  if (!hexDigitValue(line[pos], hi) || !hexDigitValue(line[pos + 1], lo)) return false;
  out = static_cast<uint8_t>(hi * 16 + lo);
  return true;
}

}  // namespace

bool THexCodec::hexRecordToLine() {
  hexLine.assign(1, ':');
  const int n = hexRecord[0];
  if (n > kMaxData) return false;
  uint8_t sum = 0;
  for (int k = 0; k < n + 4; ++k) {
    const uint8_t b = hexRecord[static_cast<size_t>(k)];
    sum = static_cast<uint8_t>(sum + b);
    appendByte(hexLine, b);
  }
  appendByte(hexLine, static_cast<uint8_t>(0x100 - sum));
  return true;
}

bool THexCodec::hexLineToRecord() {
  const size_t length = hexLine.size();
  if (length < 11 || hexLine[0] != ':') return false;
  if (!decodePair(hexLine, 1, hexRecord[0])) return false;
  const size_t n = hexRecord[0];
  if (n > kMaxData || length != 2 * n + 11) return false;
  for (size_t k = 1; k <= n + 4; ++k) {
    if (!decodePair(hexLine, 2 * k + 1, hexRecord[k])) return false;
  }
  uint8_t sum = 0;
  for (size_t k = 0; k <= n + 4; ++k) sum = static_cast<uint8_t>(sum + hexRecord[k]);
  return sum == 0;
}

void THexCodec::setCommandRecord(uint16_t blockAddress, uint8_t command) {
  hexRecord[0] = 1;
  hexRecord[1] = static_cast<uint8_t>(blockAddress >> 8);
  hexRecord[2] = static_cast<uint8_t>(blockAddress & 0xFF);
  hexRecord[3] = 5;
  hexRecord[4] = command;
}

}  // namespace kelvry
