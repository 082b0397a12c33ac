#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "tests/support/test_sources.h"

namespace kelvry::test {

// A short image keeps each update to its fixed pauses and a few lines.
inline std::vector<std::string> shortImage() {
  std::vector<std::string> lines;
  for (uint16_t block = 0x0200; block < 0x0204; ++block) lines.push_back(dataRecord(block));
  lines.push_back(dataRecord(kVectorBlock));
  return lines;
}

// The short image as an update file for the logger's default identity
// (Kelvry V2.92, platform 15, print 56, bootloader 3).
inline TFirmwareSources shortImageFile() {
  auto file = std::make_shared<TUpdateFile>();
  file->header.tarvo_class = 26135;
  file->header.tarvo_verH = 2;
  file->header.tarvo_verL = 92;
  file->header.tarvo_platform = 15;
  file->header.tarvo_print = 56;
  file->header.tarvo_bl = 3;
  file->lines = shortImage();
  file->lines.push_back(kEndOfFile);
  return TFirmwareSources(std::move(file));
}

}  // namespace kelvry::test
