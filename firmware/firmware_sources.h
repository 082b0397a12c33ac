#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "firmware/bl3_file_header.h"

namespace kelvry {

// The numbered firmware sources: 0 is the update file loaded at run time,
// 1 to 4 the built-in images. The line count of a source is the index of its
// last line, the end-of-file record.

enum TSourceRequest : uint32_t { reqHeader = 0, reqLineCount = 1, reqLine = 2 };

// An update file as loaded: its header and its record lines in file order.
struct TUpdateFile {
  TBl3FileHeader header;
  std::vector<std::string> lines;
};

// The firmware one job may install: the built-in images, and source 0 when
// an update file is attached. A value: copies share the (immutable) file,
// so a job keeps its sources whatever the front end loads meanwhile.
class TFirmwareSources {
public:
  TFirmwareSources() = default;
  explicit TFirmwareSources(std::shared_ptr<const TUpdateFile> file) : file_(std::move(file)) {}

  // Source 0 holds a file (possibly its header only, for the overview).
  bool hasFile() const { return file_ != nullptr; }
  const std::shared_ptr<const TUpdateFile>& file() const { return file_; }

  // Answers one request about one source. False for an unknown source or
  // request. Without a file, source 0 has an empty header and
  // line count -1.
  bool getFirmwareSource(uint32_t source, uint32_t request, int32_t index, TBl3FileHeader& header,
                         int32_t& count, std::string& line) const;

  void getFirmwareHeader(uint32_t source, TBl3FileHeader& header) const;
  int32_t getFirmwareLineCount(uint32_t source) const;
  void getFirmwareLine(uint32_t source, int32_t index, std::string& line) const;
  static constexpr int32_t getImageCount() { return 4; }

private:
  std::shared_ptr<const TUpdateFile> file_;
};

}  // namespace kelvry
