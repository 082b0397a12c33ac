#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvry {

struct THexCodec;

// Every line the bootloader programs is a data record of this many bytes.
inline constexpr uint8_t kDataRecordBytes = 64;

// Whether the codec's record is the interrupt vector table's (block 03DF),
// the line that is programmed last.
bool isVectorTableRecord(const THexCodec& codec);

// What keeps the bootloader from taking a firmware image, and where.
struct TImageProblem {
  int32_t lineIndex = 0;  // index of the record line; the end line's index when a line is missing
  // A sentence of its own, e.g. "record 5 (:2002...) holds 32 data bytes; the
  // bootloader takes 64": shown as it is after the file's name.
  std::string what;
};

// Checks the record lines of an image before anything is erased, as the
// bootloader will take them: every line before the end line (index
// `endIndex`) an upper-case Intel HEX data record (type 00) of 64 bytes with
// a right checksum, and the interrupt vector table's block among them.
// Nothing when the bootloader can take every line.
std::optional<TImageProblem> checkImageLines(const std::function<std::string(int32_t)>& lineAt, int32_t endIndex);

// The same for lines held in memory, the end line last.
std::optional<TImageProblem> checkImageLines(const std::vector<std::string>& lines);

}  // namespace kelvry
