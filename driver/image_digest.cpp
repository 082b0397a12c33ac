#include "driver/image_digest.h"

#include "records/sha256.h"

namespace kelvry {

std::string imageSha256(const TFirmwareSources& sources, int source) {
  const auto number = static_cast<uint32_t>(source);
  std::string records;
  std::string line;
  const int32_t last = sources.getFirmwareLineCount(number);
  for (int32_t i = 0; i <= last; ++i) {
    sources.getFirmwareLine(number, i, line);
    records += line;
    records += '\n';
  }
  return sha256Hex(records);
}

}  // namespace kelvry
