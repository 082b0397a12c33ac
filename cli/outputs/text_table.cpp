#include "cli/outputs/text_table.h"

#include <algorithm>

namespace kelvry::cli {

namespace {

void appendLine(std::string& text, const TTableRow& cells, const std::vector<size_t>& widths) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) line += "  ";
    line += cells[i];
    if (i + 1 < cells.size()) line.append(widths[i] - cells[i].size(), ' ');
  }
  line.erase(line.find_last_not_of(' ') + 1);
  text += line + '\n';
}

}  // namespace

std::string formatTable(const TTableRow& columns, const std::vector<TTableRow>& rows) {
  std::vector<size_t> widths(columns.size());
  for (size_t i = 0; i < columns.size(); ++i) widths[i] = columns[i].size();
  for (const TTableRow& row : rows)
    for (size_t i = 0; i < std::min(row.size(), widths.size()); ++i) widths[i] = std::max(widths[i], row[i].size());

  std::string text;
  appendLine(text, columns, widths);
  for (const TTableRow& row : rows) {
    TTableRow cells = row;
    cells.resize(columns.size());
    appendLine(text, cells, widths);
  }
  return text;
}

}  // namespace kelvry::cli
