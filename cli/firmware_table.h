#pragma once

#include <string>
#include <vector>

// The firmware overview as plain text: the same columns and rows as the
// desktop program's overview window, aligned for a terminal.

namespace kelvry::cli {

using TTableRow = std::vector<std::string>;

// Left-aligned columns two blanks apart; no blanks at the ends of lines.
std::string formatTable(const TTableRow& columns, const std::vector<TTableRow>& rows);

}  // namespace kelvry::cli
