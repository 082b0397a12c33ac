#include <array>
#include <cstdio>
#include <random>

#include "records/record_origin.h"

namespace kelvry {

std::string newRecordId() {
  // Two benches may write to one server at once: the ids come from the
  // system's random source, not from a clock or a counter.
  static thread_local std::mt19937_64 generator{[] {
    std::random_device device;
    std::seed_seq seed{device(), device(), device(), device(), device(), device(), device(), device()};
    return std::mt19937_64(seed);
  }()};
  std::array<unsigned char, 16> bytes{};
  for (size_t i = 0; i < bytes.size(); i += 8) {
    const uint64_t word = generator();
    for (size_t j = 0; j < 8; ++j) bytes[i + j] = static_cast<unsigned char>(word >> (8 * j));
  }
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
  std::string text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    char pair[3];
    std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
    text += pair;
  }
  return text;
}

}  // namespace kelvry
