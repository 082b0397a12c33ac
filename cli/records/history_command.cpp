#include "cli/records/history_command.h"

#include <ostream>

#include "cli/outputs/text_table.h"
#include "driver/exit_status.h"
#include "driver/program_name.h"
#include "records/history_cells.h"
#include "records/history_csv.h"
#include "records/history_json.h"
#include "records/open_record_store.h"
#include "records/record_store_error.h"

namespace kelvry::cli {

namespace {

void printHistory(const TCliOptions& options, const std::vector<TAttemptRecord>& records, std::ostream& out) {
  if (options.csv) {
    out << historyCsv(records);
  } else if (options.json) {
    for (const auto& record : records) out << historyJsonLine(record) << '\n';
  } else {
    std::vector<TTableRow> rows;
    for (const auto& record : records) rows.push_back(historyCells(record));
    out << formatTable(historyHeaders(), rows);
  }
  out << std::flush;
}

}  // namespace

int historyCommand(const TCliOptions& options, const TStreams& io) {
  std::unique_ptr<IRecordStore> store;
  try {
    store = openRecordStore(options.records);
  } catch (const TRecordStoreError& error) {
    io.err << kCliPrefix << "--records: " << error.what() << '\n';
    return kExitUsage;
  }
  try {
    printHistory(options, store->history(options.history), io.out);
  } catch (const TRecordStoreError& error) {
    io.err << kCliPrefix << "--history: " << error.what() << '\n';
    store->close(std::chrono::milliseconds(0));
    return kExitUnexpected;
  }
  // Records an earlier run left queued for this server went with it.
  store->close(std::chrono::milliseconds(0));
  return kExitSuccess;
}

}  // namespace kelvry::cli
