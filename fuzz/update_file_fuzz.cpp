// Any bytes as an update file: the reader must refuse or load them without
// crashing, hanging or growing without bound, and every record line it hands
// on must survive a round trip through the codec unchanged.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"
#include "firmware/image_check.h"
#include "firmware/update_file.h"

namespace {

// The reader takes a path, so the input becomes a file in memory.
std::string memoryFile(const uint8_t* data, size_t size) {
  static const int fd = memfd_create("update-file", 0);
  if (fd < 0 || ftruncate(fd, 0) != 0) __builtin_trap();
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) __builtin_trap();
  return "/proc/self/fd/" + std::to_string(fd);
}

void checkRecordLine(const std::string& line) {
  kelvry::THexCodec codec;
  codec.hexLine = line;
  if (!codec.hexLineToRecord()) return;
  if (!codec.hexRecordToLine() || codec.hexLine != line) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kelvry;
  const std::string path = memoryFile(data, size);
  try {
    if (const std::optional<TUpdateFile> file = loadUpdateFile(path)) {
      for (const std::string& line : file->lines) checkRecordLine(line);
      // A file that loads with its end line is one the bootloader takes whole.
      if (file->lines.size() >= 2 && file->lines.back() == ":00000001FF" && checkImageLines(file->lines))
        __builtin_trap();
    }
    readFileHeaderInfo(path);
  } catch (const std::exception&) {
    // A refused file is an answer too; only a crash or a hang is a finding.
  }
  return 0;
}
