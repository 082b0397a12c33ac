#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "firmware/hex_codec.h"

namespace kelvry::test {

// A 64-byte data record for a block, with data derived from the block so
// every line differs.
inline std::string dataRecord(uint16_t block, uint8_t seed = 0) {
  THexCodec codec;
  codec.hexRecord[0] = 64;
  codec.hexRecord[1] = static_cast<uint8_t>(block >> 8);
  codec.hexRecord[2] = static_cast<uint8_t>(block & 0xFF);
  codec.hexRecord[3] = 0;
  for (int i = 0; i < 64; ++i) codec.hexRecord[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(block * 7 + i + seed);
  codec.hexRecordToLine();
  return codec.hexLine;
}

// Any record, for lines the job must pass over.
inline std::string record(uint8_t count, uint16_t address, uint8_t type) {
  THexCodec codec;
  codec.hexRecord[0] = count;
  codec.hexRecord[1] = static_cast<uint8_t>(address >> 8);
  codec.hexRecord[2] = static_cast<uint8_t>(address & 0xFF);
  codec.hexRecord[3] = type;
  for (int i = 0; i < count; ++i) codec.hexRecord[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(i);
  codec.hexRecordToLine();
  return codec.hexLine;
}

inline constexpr uint16_t kVectorBlock = 0x03DF;
inline const std::string kEndOfFile = ":00000001FF";

}  // namespace kelvry::test
