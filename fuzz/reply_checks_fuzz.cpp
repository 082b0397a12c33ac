// Any bytes as a logger's reply: the checks the link makes must agree with
// the codec (a record line the codec accepts has a zero checksum sum), and
// the frame CRCs must detect themselves (data followed by its CRC checks
// to zero), whatever the bytes.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/checksums.h"
#include "engine/comm_link.h"
#include "firmware/hex_codec.h"

namespace {

void recordReply(const uint8_t* data, size_t size) {
  kelvry::THexCodec codec;
  codec.hexLine.assign(reinterpret_cast<const char*>(data), size);
  const std::string text = codec.hexLine;
  // The link sums the pairs behind ":" that a reply of its length holds.
  if (text.size() >= 3) kelvry::checkHexReply(text.c_str() + 1, static_cast<int>((text.size() - 1) / 2));
  // A reply the link takes (record text, right checksum over the pairs of
  // its length) whose count matches its length is one the codec decodes.
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  if (text.size() >= 11 && text.size() % 2 == 1 && kelvry::isRecordText(bytes, text.size())) {
    const int pairs = static_cast<int>((text.size() - 1) / 2);
    const bool linkTakesIt = kelvry::checkHexReply(text.c_str() + 1, pairs) == 0;
    kelvry::THexCodec lengthOnly;
    lengthOnly.hexLine = text;
    const bool codecTakesIt = lengthOnly.hexLineToRecord();
    if (codecTakesIt && !linkTakesIt) __builtin_trap();
  }
  if (!codec.hexLineToRecord()) return;
  if (kelvry::checkHexReply(text.c_str() + 1, codec.count() + 5) != 0) __builtin_trap();
  if (!kelvry::isRecordText(reinterpret_cast<const uint8_t*>(text.data()), text.size())) __builtin_trap();
}

void frameChecks(const uint8_t* data, size_t size) {
  const auto length = static_cast<uint16_t>(std::min<size_t>(size, 0xFFF0));
  std::vector<uint8_t> frame(data, data + length);
  frame.push_back(kelvry::crc8(frame.data(), length));
  if (kelvry::crc8(frame.data(), static_cast<uint16_t>(length + 1)) != 0) __builtin_trap();

  frame.resize(length);
  const uint16_t crc = kelvry::crc16(frame.data(), length);
  frame.push_back(static_cast<uint8_t>(crc & 0xFF));
  frame.push_back(static_cast<uint8_t>(crc >> 8));
  if (kelvry::crc16(frame.data(), static_cast<uint16_t>(length + 2)) != 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  recordReply(data, size);
  frameChecks(data, size);
  return 0;
}
