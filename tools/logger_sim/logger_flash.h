#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "firmware/bl3_file_header.h"

namespace kelvry::sim {

// The logger's program memory, in the 64-byte blocks that the bootloader's
// record addresses count.
using TFlashBlock = std::array<uint8_t, 64>;
using TFlashBlocks = std::map<uint16_t, TFlashBlock>;

// The block of the interrupt vector table: the application can only start
// once it has been written.
inline constexpr uint16_t kVectorTableBlock = 0x03DF;

// A firmware image the logger can run once it has been programmed whole.
struct TKnownImage {
  TFlashBlocks blocks;
  std::optional<TBl3FileHeader> header;  // known for the built-in images
};

// The blocks that a list of record lines programs: its 64-byte data records.
// Other records are not programmed by the bootloader and are left out.
TFlashBlocks blocksOfLines(const std::vector<std::string>& lines);

// The images built into the program, parsed once.
const std::vector<TKnownImage>& builtinImages();

// The programmed blocks since the last erase.
class TLoggerFlash {
public:
  void erase();
  void program(uint16_t block, const TFlashBlock& data);

  // The stored block, or nullopt when it has not been programmed.
  std::optional<TFlashBlock> read(uint16_t block) const;
  bool vectorTableProgrammed() const { return vectorTableProgrammed_; }

  // The image that the flash holds exactly, if any.
  const TKnownImage* matchingImage(const std::vector<TKnownImage>& images) const;

  // The flash as upper-case record lines in block order, then the
  // end-of-file record.
  std::vector<std::string> lines() const;

private:
  TFlashBlocks blocks_;
  bool vectorTableProgrammed_ = false;
};

}  // namespace kelvry::sim
