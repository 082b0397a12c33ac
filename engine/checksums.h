#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvry {

// CRC-8 Dallas/Maxim (reflected polynomial 0x8C, init 0, no final XOR):
// the checksum in byte 7 of every command frame.
uint8_t crc8(const uint8_t* data, uint16_t length);

// CRC-16/MODBUS (init 0xFFFF, reflected polynomial 0xA001).
uint16_t crc16(const uint8_t* data, uint16_t length);

// Sums `pairs` hex pairs of a record text modulo 256 and returns the two's
// complement: 0 for a record whose checksum is right.
uint8_t checkHexReply(const char* text, int pairs);

// The CRC-16 of the update-ID block's five words, each low byte first.
uint16_t calculateCRC16(uint16_t upid_id, uint16_t upid_info, uint16_t upid_platform, uint16_t upid_print,
                        uint16_t upid_reserve);

constexpr uint16_t makeWord(uint8_t high, uint8_t low) {
  return static_cast<uint16_t>(high * 256 + low);
}

}  // namespace kelvry
