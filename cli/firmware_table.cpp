#include "cli/firmware_table.h"

#include <algorithm>

#include "firmware/firmware_sources.h"
#include "firmware/identity_names.h"
#include "ui/job_notifications.h"

namespace kelvry::cli {

TTableRow overviewColumns() { return {"Firmware", "Version", "Platform", "Print", "Date", "BL"}; }

TTableRow overviewRow(const TBl3FileHeader& header) {
  std::string firmware, platform, print;
  getClassName(header.tarvo_class, header.tarvo_print, firmware);
  getPlatformName(header.tarvo_platform, platform);
  getPrintName(header.tarvo_print, print);
  return {firmware,
          format("%d.%.2d", header.tarvo_verH, header.tarvo_verL),
          platform,
          print,
          header.tarvo_date,
          format("%d.%d", header.tarvo_bl, header.tarvo_bl_ver)};
}

std::vector<TTableRow> overviewRows() {
  std::vector<TTableRow> rows;
  TBl3FileHeader header;
  if (selectedSource.load() == 0) {
    getFirmwareHeader(0, header);
    rows.push_back(overviewRow(header));
  }
  for (int32_t source = getImageCount(); source >= 1; --source) {
    getFirmwareHeader(static_cast<uint32_t>(source), header);
    rows.push_back(overviewRow(header));
  }
  return rows;
}

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
