#include "firmware/firmware_sources.h"

#include "firmware/images/builtin_images.h"

namespace kelvry {

bool TFirmwareSources::getFirmwareSource(uint32_t source, uint32_t request, int32_t index,
                                         TBl3FileHeader& header, int32_t& count, std::string& line) const {
  header.tarvo_class = 0xFFFF;
  header.tarvo_platform = 0xFFFF;
  header.tarvo_print = 0xFFFF;
  count = 0;
  line.clear();
  if (request > reqLine || source > static_cast<uint32_t>(getImageCount())) return false;

  if (source == 0) {
    static const TUpdateFile kNoFile;
    const TUpdateFile& file = file_ ? *file_ : kNoFile;
    switch (request) {
      case reqHeader: header = file.header; break;
      case reqLineCount: count = static_cast<int32_t>(file.lines.size()) - 1; break;
      default: line = file.lines.at(static_cast<size_t>(index)); break;
    }
    return true;
  }
  kBuiltinImages[source - 1](index, header, count, line);
  return true;
}

void TFirmwareSources::getFirmwareHeader(uint32_t source, TBl3FileHeader& header) const {
  header = TBl3FileHeader{};
  int32_t count = 0;
  std::string line;
  getFirmwareSource(source, reqHeader, 0, header, count, line);
}

int32_t TFirmwareSources::getFirmwareLineCount(uint32_t source) const {
  TBl3FileHeader header;
  int32_t count = 0;
  std::string line;
  getFirmwareSource(source, reqLineCount, 0, header, count, line);
  return count;
}

void TFirmwareSources::getFirmwareLine(uint32_t source, int32_t index, std::string& line) const {
  TBl3FileHeader header;
  int32_t count = 0;
  getFirmwareSource(source, reqLine, index, header, count, line);
}

}  // namespace kelvry
