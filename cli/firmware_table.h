#pragma once

#include <string>
#include <vector>

#include "firmware/bl3_file_header.h"

// The firmware overview as plain text: the same columns and rows as the
// desktop program's overview window, aligned for a terminal.

namespace kelvry::cli {

using TTableRow = std::vector<std::string>;

// "Firmware", "Version", "Platform", "Print", "Date", "BL".
TTableRow overviewColumns();

// One row: the names and numbers a header describes.
TTableRow overviewRow(const TBl3FileHeader& header);

// The update file's row first when it is the selected source, then the
// built-in images from the last to the first.
std::vector<TTableRow> overviewRows();

// Left-aligned columns two blanks apart; no blanks at the ends of lines.
std::string formatTable(const TTableRow& columns, const std::vector<TTableRow>& rows);

}  // namespace kelvry::cli
