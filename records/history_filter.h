#pragma once

#include <optional>
#include <string>

#include "records/attempt_record.h"
#include "records/sql_values.h"

// What a department asks the records: every attempt, newest first, narrowed
// by logger, port, time, firmware or result; or each logger's last attempt
// alone ("latest"), narrowed the same way after the last one is chosen, so
// that "latest with V2.88" names the loggers that still run V2.88.

namespace kelvry {

struct THistoryFilter {
  std::string serial;    // the USB serial; empty: any
  std::string port;      // empty: any
  std::optional<TUtcTime> since;  // attempts started at or after
  std::string firmware;  // the version the logger runs after the attempt ("V2.88" or "2.88"); empty: any
  std::string result;    // a result word (result_words.h); empty: any
  bool latest = false;
};

// The query, for the engine's placeholders. Throws std::invalid_argument for
// a result word that is none.
TSqlQuery historyQuery(const THistoryFilter& filter, TPlaceholders style);

}  // namespace kelvry
