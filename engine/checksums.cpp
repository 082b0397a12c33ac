#include "engine/checksums.h"

#include <array>

#include "firmware/hex_digits.h"

namespace kelvry {

namespace {

// Each entry is the CRC of one byte, derived from the polynomial.
constexpr std::array<uint8_t, 256> makeCrc8Table() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    uint8_t crc = static_cast<uint8_t>(i);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) ? static_cast<uint8_t>((crc >> 1) ^ 0x8C) : static_cast<uint8_t>(crc >> 1);
    }
    table[static_cast<size_t>(i)] = crc;
  }
  return table;
}

constexpr auto kCrc8Table = makeCrc8Table();
static_assert(kCrc8Table[1] == 0x5E && kCrc8Table[7] == 0x83);

}  // namespace

uint8_t crc8(const uint8_t* data, uint16_t length) {
  uint8_t value = 0;
  for (uint16_t i = 0; i < length; ++i) value = kCrc8Table[value ^ data[i]];
  return value;
}

uint16_t crc16(const uint8_t* data, uint16_t length) {
  uint16_t value = 0xFFFF;
  for (uint16_t i = 0; i < length; ++i) {
    value ^= data[i];
    for (int bit = 0; bit < 8; ++bit) {
      value = (value & 1) ? static_cast<uint16_t>((value >> 1) ^ 0xA001) : static_cast<uint16_t>(value >> 1);
    }
  }
  return value;
}

uint16_t calculateCRC16(uint16_t upid_id, uint16_t upid_info, uint16_t upid_platform, uint16_t upid_print,
                        uint16_t upid_reserve) {
  uint8_t bytes[10];
  const uint16_t words[5] = {upid_id, upid_info, upid_platform, upid_print, upid_reserve};
  for (int i = 0; i < 5; ++i) {
    bytes[2 * i] = static_cast<uint8_t>(words[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<uint8_t>(words[i] >> 8);
  }
  return crc16(bytes, sizeof bytes);
}

uint8_t checkHexReply(const char* text, int pairs) {
  uint8_t sum = 0;
  for (int i = 0; i < pairs; ++i) {
    uint8_t hi = 0;
    uint8_t lo = 0;
    hexDigitValue(text[2 * i], hi);
    hexDigitValue(text[2 * i + 1], lo);
    sum = static_cast<uint8_t>(sum + hi * 16 + lo);
  }
  return static_cast<uint8_t>(0x100 - sum);
}

}  // namespace kelvry
