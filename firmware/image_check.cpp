#include "firmware/image_check.h"

#include "firmware/hex_codec.h"

namespace kelvry {

namespace {

constexpr uint8_t kDataRecord = 0x00;
constexpr uint8_t kVectorTableHigh = 0x03;
constexpr uint8_t kVectorTableLow = 0xDF;
constexpr size_t kShownCharacters = 20;

// The line as the message shows it: enough to find it in the file.
std::string quoted(const std::string& line) {
  std::string shown = line.substr(0, kShownCharacters);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) c = '?';
  return "(" + shown + (line.size() > kShownCharacters ? "...)" : ")");
}

std::string record(int32_t index, const std::string& line) {
  return "record " + std::to_string(index) + " " + quoted(line);
}

}  // namespace

bool isVectorTableRecord(const THexCodec& codec) {
  return codec.addressHigh() == kVectorTableHigh && codec.addressLow() == kVectorTableLow;
}

std::optional<TImageProblem> checkImageLines(const std::function<std::string(int32_t)>& lineAt, int32_t endIndex) {
  THexCodec codec;
  bool vectorTableSeen = false;
  for (int32_t i = 0; i < endIndex; ++i) {
    codec.hexLine = lineAt(i);
    if (!codec.hexLineToRecord())
      return TImageProblem{i, record(i, codec.hexLine) +
                                  " is not an Intel HEX record in upper case with a right checksum"};
    if (codec.type() != kDataRecord)
      return TImageProblem{i, record(i, codec.hexLine) + " has record type " + std::to_string(codec.type()) +
                                  "; the bootloader takes data records (type 0) only"};
    if (codec.count() != kDataRecordBytes)
      return TImageProblem{i, record(i, codec.hexLine) + " holds " + std::to_string(codec.count()) +
                                  " data bytes; the bootloader takes 64"};
    vectorTableSeen |= isVectorTableRecord(codec);
  }
  if (!vectorTableSeen)
    return TImageProblem{endIndex, "the file has no interrupt vector table line (block 03DF)"};
  return std::nullopt;
}

std::optional<TImageProblem> checkImageLines(const std::vector<std::string>& lines) {
  if (lines.empty()) return TImageProblem{0, "the file has no lines"};
  return checkImageLines([&](int32_t i) { return lines[static_cast<size_t>(i)]; },
                         static_cast<int32_t>(lines.size()) - 1);
}

}  // namespace kelvry
