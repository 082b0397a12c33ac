#pragma once

#include <string>
#include <vector>

#include "firmware/bl3_file_header.h"
#include "firmware/firmware_sources.h"

// The firmware overview both front ends show: one row per firmware the tool
// can install, with the names its header stands for.

namespace kelvry {

using TOverviewRow = std::vector<std::string>;

// "Firmware", "Version", "Platform", "Print", "Date", "BL".
TOverviewRow overviewColumns();

// One row: the names and numbers a header describes.
TOverviewRow overviewRow(const TBl3FileHeader& header);

// The update file's row first when it is the selected source, then the
// built-in images from the last to the first.
std::vector<TOverviewRow> overviewRows(const TFirmwareSources& sources, int32_t selectedSource);

}  // namespace kelvry
