#include "firmware/firmware_sources.h"

#include "firmware/images/builtin_images.h"

namespace kelvry {

std::atomic<int32_t> selectedSource{-1};
TBl3FileHeader fileHeader;
std::vector<std::string> fileLines;

bool getFirmwareSource(uint32_t source, uint32_t request, int32_t index, TBl3FileHeader& header,
                       int32_t& count, std::string& line) {
  header.tarvo_class = 0xFFFF;
  header.tarvo_platform = 0xFFFF;
  header.tarvo_print = 0xFFFF;
  count = 0;
  line.clear();
  if (request > reqLine || source > static_cast<uint32_t>(getImageCount())) return false;

  if (source == 0) {
    switch (request) {
      case reqHeader: header = fileHeader; break;
      case reqLineCount: count = static_cast<int32_t>(fileLines.size()) - 1; break;
      default: line = fileLines.at(static_cast<size_t>(index)); break;
    }
    return true;
  }
  kBuiltinImages[source - 1](index, header, count, line);
  return true;
}

void getFirmwareHeader(uint32_t source, TBl3FileHeader& header) {
  header = TBl3FileHeader{};
  int32_t count = 0;
  std::string line;
  getFirmwareSource(source, reqHeader, 0, header, count, line);
}

int32_t getFirmwareLineCount(uint32_t source) {
  TBl3FileHeader header;
  int32_t count = 0;
  std::string line;
  getFirmwareSource(source, reqLineCount, 0, header, count, line);
  return count;
}

int32_t getSelectedLineCount() { return getFirmwareLineCount(static_cast<uint32_t>(selectedSource.load())); }

void getSelectedLine(int32_t index, std::string& line) {
  TBl3FileHeader header;
  int32_t count = 0;
  getFirmwareSource(static_cast<uint32_t>(selectedSource.load()), reqLine, index, header, count, line);
}

}  // namespace kelvry
