#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "firmware/bl3_file_header.h"

namespace kelvry {

// The numbered firmware sources: 0 is the update file loaded at run time,
// 1 to 4 the built-in images. The line count of a source is the index of its
// last line, the end-of-file record.

enum TSourceRequest : uint32_t { reqHeader = 0, reqLineCount = 1, reqLine = 2 };

// -1 none chosen (the next job searches the images), 0 the update file,
// 1..4 the image the last job chose. Written by the front end before a job
// and by the job while it selects; hence atomic.
extern std::atomic<int32_t> selectedSource;

// The update file's header and record lines. Only the front end's thread
// writes them, and never while a job runs.
extern TBl3FileHeader fileHeader;
extern std::vector<std::string> fileLines;

bool getFirmwareSource(uint32_t source, uint32_t request, int32_t index, TBl3FileHeader& header,
                       int32_t& count, std::string& line);

void getFirmwareHeader(uint32_t source, TBl3FileHeader& header);
int32_t getFirmwareLineCount(uint32_t source);
int32_t getSelectedLineCount();
void getSelectedLine(int32_t index, std::string& line);
constexpr int32_t getImageCount() { return 4; }

}  // namespace kelvry
