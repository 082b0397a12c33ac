// The records store's costs on this machine's disk:
//  - writing one record to a bench's SQLite file (goal: under 5 ms),
//  - "latest" (every logger's last attempt) over a million records
//    (goal: under 200 ms, which the latest-per-logger index makes possible).
// The million-record file is made once, in one transaction, and kept in the
// working folder (records-bench-1m.sqlite) for later runs.
//
// Run from the build folder: bench/kelvry_records_bench

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "records/record_columns.h"
#include "records/record_origin.h"
#include "records/sqlite_records.h"
#include "records/utc_text.h"

namespace kelvry {
namespace {

constexpr int kLoggers = 10'000;
constexpr int kAttemptsPerLogger = 100;

TAttemptRecord benchRecord(int logger, int attempt) {
  TAttemptRecord r;
  r.id = newRecordId();
  r.station = "bench-" + std::to_string(logger % 12);
  r.operatorName = "mara";
  r.programVersion = "1.0.0";
  r.started = *parseUtcText("2020-01-01") + std::chrono::minutes(attempt * kLoggers + logger);
  r.ended = r.started + std::chrono::seconds(61);
  r.port = "/dev/ttyUSB" + std::to_string(logger % 64);
  r.usb = {"0403", "6001", "FTDI", "FT232R USB UART", "FT" + std::to_string(100000 + logger)};
  r.before = {"Kelvry", "V2.88", "15", "PR56", "update 3"};
  r.image = {"Kelvry V2.92 PR56", std::string(64, 'a'), ""};
  r.after = {"Kelvry", attempt % 7 ? "V2.92" : ""};
  r.status = attempt % 7 ? 0 : 44;
  r.resultText = "Update finished";
  r.duration = std::chrono::seconds(61);
  r.report = {"Logger class: Kelvry", "Version: V2.88"};
  return r;
}

// The store's own insert, in one transaction, as no bench would write but
// as a year of a department's benches leaves the file.
void fillMillion(const std::filesystem::path& path) {
  TSqliteRecords{path};
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, insertRecordSql(TPlaceholders::Question).c_str(), -1, &insert, nullptr);
  for (int attempt = 0; attempt < kAttemptsPerLogger; ++attempt)
    for (int logger = 0; logger < kLoggers; ++logger) {
      const auto values = recordValues(benchRecord(logger, attempt));
      for (size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        if (const auto* number = std::get_if<int64_t>(&values[i]))
          sqlite3_bind_int64(insert, index, *number);
        else
          sqlite3_bind_text(insert, index, std::get<std::string>(values[i]).c_str(), -1, SQLITE_TRANSIENT);
      }
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

void WriteOneRecordToSqlite(benchmark::State& state) {
  const std::filesystem::path path = "records-bench-write.sqlite";
  std::filesystem::remove(path);
  TSqliteRecords store(path);
  int attempt = 0;
  for (auto _ : state) store.add(benchRecord(attempt % kLoggers, attempt / kLoggers)), ++attempt;
  std::filesystem::remove(path);
  std::filesystem::remove("records-bench-write.sqlite-wal");
  std::filesystem::remove("records-bench-write.sqlite-shm");
}
BENCHMARK(WriteOneRecordToSqlite)->Unit(benchmark::kMillisecond);

void LatestOverAMillionRecords(benchmark::State& state) {
  const std::filesystem::path path = "records-bench-1m.sqlite";
  if (!std::filesystem::exists(path)) fillMillion(path);
  TSqliteRecords store(path);
  THistoryFilter latest;
  latest.latest = true;
  size_t loggers = 0;
  for (auto _ : state) loggers = store.history(latest).size();
  state.counters["loggers"] = static_cast<double>(loggers);
}
BENCHMARK(LatestOverAMillionRecords)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelvry

BENCHMARK_MAIN();
