#include "cli/fleet_summary.h"

#include "cli/firmware_table.h"
#include "driver/report_log_file.h"

namespace kelvry::cli {

namespace {
std::string orDash(const std::string& text) { return text.empty() ? std::string("-") : text; }
}  // namespace

std::string fleetSummary(const std::vector<TPortRecord>& records) {
  const TTableRow columns = {"Port", "Before", "After", "Installed", "Exit", "Time", "Result"};
  std::vector<TTableRow> rows;
  for (const TPortRecord& r : records)
    rows.push_back({r.port, orDash(r.loggerBefore), orDash(r.loggerAfter), orDash(r.image),
                    std::to_string(r.exitStatus), durationText(r.duration), r.resultText});
  return formatTable(columns, rows);
}

}  // namespace kelvry::cli
