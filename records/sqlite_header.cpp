#include "records/sqlite_header.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace kelvry {

namespace {

constexpr size_t kHeaderSize = 100;
constexpr char kMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes

uint32_t bigEndian(const unsigned char* bytes, size_t count) {
  uint32_t value = 0;
  for (size_t i = 0; i < count; ++i) value = (value << 8) | bytes[i];
  return value;
}

}  // namespace

std::optional<std::string> sqliteHeaderFault(const std::filesystem::path& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size == 0) return std::nullopt;
  std::array<unsigned char, kHeaderSize> header{};
  std::ifstream file(path, std::ios::binary);
  file.read(reinterpret_cast<char*>(header.data()), header.size());
  if (size < kHeaderSize || std::memcmp(header.data(), kMagic, sizeof kMagic) != 0)
    return "it is not an SQLite database";
  const uint32_t pageSizeField = bigEndian(&header[16], 2);
  const uint64_t pageSize = pageSizeField == 1 ? 65536 : pageSizeField;
  // The page count in the header is valid only while the "version valid
  // for" number matches the change counter.
  const bool countValid = bigEndian(&header[92], 4) == bigEndian(&header[24], 4);
  const uint64_t pages = bigEndian(&header[28], 4);
  if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) return "its header is damaged";
  if (size % pageSize != 0 || (countValid && size < pages * pageSize))
    return "it is shorter than its header says (cut off)";
  return std::nullopt;
}

}  // namespace kelvry
