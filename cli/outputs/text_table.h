#pragma once

#include <string>
#include <vector>

// Rows of text aligned in columns for a terminal: the firmware overview,
// the ports present, the summary of a run. One drawing, so that every table
// the command line prints reads the same way.

namespace kelvry::cli {

using TTableRow = std::vector<std::string>;

// Left-aligned columns two blanks apart; no blanks at the ends of lines.
std::string formatTable(const TTableRow& columns, const std::vector<TTableRow>& rows);

}  // namespace kelvry::cli
