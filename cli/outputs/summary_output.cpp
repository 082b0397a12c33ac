#include "cli/outputs/summary_output.h"

#include "cli/outputs/text_table.h"
#include "driver/duration_text.h"
#include "frontend/text_format.h"

namespace kelvry::cli {

std::string summaryTable(const std::vector<TPortRecord>& records) {
  const TTableRow columns = {"Port", "Before", "After", "Installed", "Exit", "Time", "Result"};
  std::vector<TTableRow> rows;
  for (const TPortRecord& r : records)
    rows.push_back({r.port, orDash(r.loggerBefore), orDash(r.loggerAfter), orDash(r.image),
                    std::to_string(r.exitStatus), durationText(r.duration), r.resultText});
  return formatTable(columns, rows);
}

}  // namespace kelvry::cli
