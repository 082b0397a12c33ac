#include "records/history_filter.h"

#include <algorithm>
#include <stdexcept>

#include "records/record_columns.h"
#include "records/result_words.h"
#include "records/utc_text.h"

namespace kelvry {

namespace {

class TConditions {
 public:
  explicit TConditions(TPlaceholders style) : style_(style) {}

  // `sql` holds one "%" for each value, in order.
  void add(std::string_view sql, std::vector<TSqlValue> values) {
    std::string condition;
    size_t next = 0;
    for (const char c : sql) {
      if (c != '%') {
        condition += c;
        continue;
      }
      query_.parameters.push_back(values[next++]);
      condition += placeholder(style_, query_.parameters.size());
    }
    where_ += where_.empty() ? " WHERE " : " AND ";
    where_ += condition;
  }

  const std::string& where() const { return where_; }
  TSqlQuery& query() { return query_; }

 private:
  TPlaceholders style_;
  std::string where_;
  TSqlQuery query_;
};

std::string statusList(size_t count) {
  std::string list;
  for (size_t i = 0; i < count; ++i) list += i ? ", %" : "%";
  return list;
}

void addResult(TConditions& conditions, const std::string& word) {
  if (std::ranges::find(resultWords(), word) == resultWords().end())
    throw std::invalid_argument("no result is called " + word);
  const bool failed = word == kFailedWord;
  const std::vector<int> statuses = failed ? claimedResultStatuses() : statusesOfResultWord(word);
  std::vector<TSqlValue> values;
  for (const int status : statuses) values.emplace_back(int64_t{status});
  conditions.add("a.status " + std::string(failed ? "NOT IN (" : "IN (") + statusList(values.size()) + ")",
                 values);
}

void addFirmware(TConditions& conditions, const std::string& firmware) {
  // "2.88" and "V2.88" both name the version the logger reports as "V2.88".
  const std::string version = firmware.starts_with('V') || firmware.starts_with('v')
                                  ? "V" + firmware.substr(1)
                                  : "V" + firmware;
  conditions.add("(CASE WHEN a.after_version <> '' THEN a.after_version ELSE a.before_version END) = %",
                 {version});
}

// Each logger's last attempt. The loggers are walked one index seek at a
// time (the next key above the last) and each one's last start is another
// seek: over a million attempts this reads a few pages per logger, where a
// GROUP BY would read the whole index. Ties (two attempts of one logger in
// one millisecond) do not occur: a front end never runs two jobs on one
// logger at once.
constexpr std::string_view kLatestLoggers =
    "WITH RECURSIVE loggers(logger) AS ("
    " SELECT MIN(logger_key) FROM attempts"
    " UNION ALL"
    " SELECT (SELECT MIN(logger_key) FROM attempts WHERE logger_key > loggers.logger)"
    " FROM loggers WHERE loggers.logger IS NOT NULL) ";
constexpr std::string_view kLatestJoin =
    " JOIN loggers ON a.logger_key = loggers.logger AND a.started_at ="
    " (SELECT MAX(b.started_at) FROM attempts b WHERE b.logger_key = loggers.logger)";

}  // namespace

TSqlQuery historyQuery(const THistoryFilter& filter, TPlaceholders style) {
  TConditions conditions(style);
  if (!filter.serial.empty()) conditions.add("a.usb_serial = %", {filter.serial});
  if (!filter.port.empty()) conditions.add("a.port = %", {filter.port});
  if (filter.since) conditions.add("a.started_at >= %", {utcText(*filter.since)});
  if (!filter.firmware.empty()) addFirmware(conditions, filter.firmware);
  if (!filter.result.empty()) addResult(conditions, filter.result);
  TSqlQuery& query = conditions.query();
  query.sql = (filter.latest ? std::string(kLatestLoggers) : std::string()) + "SELECT " + recordColumnList("a.") +
              " FROM attempts a" + (filter.latest ? std::string(kLatestJoin) : std::string()) + conditions.where() +
              " ORDER BY a.started_at DESC, a.id";
  return query;
}

}  // namespace kelvry
