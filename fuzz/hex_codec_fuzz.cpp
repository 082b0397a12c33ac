// Any bytes as a record line and as a record: a line that parses must build
// back into itself, and a record that builds must parse back into itself
// with a checksum that makes the record's sum zero.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <string>

#include "firmware/hex_codec.h"

namespace {

void lineRoundTrip(const uint8_t* data, size_t size) {
  kelvry::THexCodec codec;
  codec.hexLine.assign(reinterpret_cast<const char*>(data), size);
  const std::string line = codec.hexLine;
  if (!codec.hexLineToRecord()) return;
  if (!codec.hexRecordToLine() || codec.hexLine != line) __builtin_trap();
}

void recordRoundTrip(const uint8_t* data, size_t size) {
  kelvry::THexCodec codec;
  std::copy_n(data, std::min(size, codec.hexRecord.size()), codec.hexRecord.begin());
  const auto record = codec.hexRecord;
  if (!codec.hexRecordToLine()) {
    if (record[0] <= kelvry::THexCodec::kMaxData || codec.hexLine != ":") __builtin_trap();
    return;
  }
  if (!codec.hexLineToRecord()) __builtin_trap();
  const size_t used = 4u + record[0];
  if (!std::equal(record.begin(), record.begin() + static_cast<std::ptrdiff_t>(used), codec.hexRecord.begin()))
    __builtin_trap();
  const unsigned sum = std::accumulate(codec.hexRecord.begin(), codec.hexRecord.begin() + static_cast<std::ptrdiff_t>(used + 1), 0u);
  if (sum % 256 != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  lineRoundTrip(data, size);
  recordRoundTrip(data, size);
  return 0;
}
