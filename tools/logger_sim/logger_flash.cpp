#include "tools/logger_sim/logger_flash.h"

#include <algorithm>

#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"

namespace kelvry::sim {

namespace {

constexpr uint8_t kDataRecord = 0;

bool isProgrammingRecord(const THexCodec& codec) {
  return codec.count() == THexCodec::kMaxData && codec.type() == kDataRecord;
}

TKnownImage loadBuiltinImage(uint32_t source) {
  TBl3FileHeader header;
  int32_t lastIndex = 0;
  std::string line;
  const TFirmwareSources builtIn;
  builtIn.getFirmwareSource(source, reqLineCount, 0, header, lastIndex, line);
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(std::max(lastIndex, 0)));
  for (int32_t i = 0; i < lastIndex; ++i) {
    int32_t count = 0;
    builtIn.getFirmwareSource(source, reqLine, i, header, count, line);
    lines.push_back(line);
  }
  return TKnownImage{blocksOfLines(lines), header};
}

}  // namespace

TFlashBlocks blocksOfLines(const std::vector<std::string>& lines) {
  TFlashBlocks blocks;
  THexCodec codec;
  for (const std::string& line : lines) {
    codec.hexLine = line;
    if (!codec.hexLineToRecord() || !isProgrammingRecord(codec)) continue;
    TFlashBlock data;
    std::copy_n(codec.hexRecord.begin() + 4, data.size(), data.begin());
    blocks[static_cast<uint16_t>(codec.addressHigh() << 8 | codec.addressLow())] = data;
  }
  return blocks;
}

const std::vector<TKnownImage>& builtinImages() {
  static const std::vector<TKnownImage> images = [] {
    std::vector<TKnownImage> loaded;
    for (int32_t source = 1; source <= TFirmwareSources::getImageCount(); ++source) {
      loaded.push_back(loadBuiltinImage(static_cast<uint32_t>(source)));
    }
    return loaded;
  }();
  return images;
}

void TLoggerFlash::erase() {
  blocks_.clear();
  vectorTableProgrammed_ = false;
}

void TLoggerFlash::program(uint16_t block, const TFlashBlock& data) {
  blocks_[block] = data;
  if (block == kVectorTableBlock) vectorTableProgrammed_ = true;
}

std::optional<TFlashBlock> TLoggerFlash::read(uint16_t block) const {
  const auto found = blocks_.find(block);
  if (found == blocks_.end()) return std::nullopt;
  return found->second;
}

const TKnownImage* TLoggerFlash::matchingImage(const std::vector<TKnownImage>& images) const {
  const auto match = std::find_if(images.begin(), images.end(),
                                  [this](const TKnownImage& image) {
                                    return !image.blocks.empty() && image.blocks == blocks_;
                                  });
  return match == images.end() ? nullptr : &*match;
}

std::vector<std::string> TLoggerFlash::lines() const {
  std::vector<std::string> lines;
  lines.reserve(blocks_.size() + 1);
  THexCodec codec;
  for (const auto& [block, data] : blocks_) {
    codec.hexRecord[0] = THexCodec::kMaxData;
    codec.hexRecord[1] = static_cast<uint8_t>(block >> 8);
    codec.hexRecord[2] = static_cast<uint8_t>(block & 0xFF);
    codec.hexRecord[3] = kDataRecord;
    std::copy(data.begin(), data.end(), codec.hexRecord.begin() + 4);
    codec.hexRecordToLine();
    lines.push_back(codec.hexLine);
  }
  lines.emplace_back(":00000001FF");
  return lines;
}

}  // namespace kelvry::sim
