// History and "latest" in both engines from one set of attempts, and the
// history's cells, JSON lines and CSV.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <memory>

#include "records/history_cells.h"
#include "records/history_csv.h"
#include "records/history_json.h"
#include "records/postgres_records.h"
#include "records/result_words.h"
#include "records/sqlite_records.h"
#include "sample_records.h"
#include "test_server.h"
#include "tests/support/temp_folder.h"

namespace kelvry {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Three loggers over three days: A updated to V2.92 after a failure, B
// still on V2.88 after a cancel, C read for its identity only; one logger
// on a plain serial port, known by its port.
TAttemptRecord attempt(const std::string& serial, const char* started, int status, const std::string& after,
                       const std::string& port = "/dev/ttyUSB0") {
  auto record = test::fullRecord(serial, started);
  record.status = status;
  record.port = port;
  record.after.version = after;
  record.after.loggerClass = after.empty() ? "" : "Kelvry";
  return record;
}

std::vector<TAttemptRecord> attempts() {
  return {
      attempt("A", "2026-12-01T09:00:00.000Z", 44, ""),
      attempt("A", "2026-12-02T09:00:00.000Z", 0, "V2.92"),
      attempt("B", "2026-12-01T10:00:00.000Z", 20, "", "/dev/ttyUSB1"),
      attempt("C", "2026-12-03T08:00:00.000Z", 70, "", "/dev/ttyUSB1"),
      attempt("", "2026-12-03T09:00:00.000Z", 0, "V2.92", "/dev/ttyS0"),
  };
}

std::vector<std::string> serials(const std::vector<TAttemptRecord>& records) {
  std::vector<std::string> texts;
  for (const auto& record : records) texts.push_back(record.usb.serial + "@" + utcText(record.started).substr(8, 2));
  return texts;
}

class HistoryTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    if (GetParam() == "sqlite") {
      store_ = std::make_unique<TSqliteRecords>(folder_ / "records.sqlite");
    } else {
      const auto server = test::testServer();
      store_ = std::make_unique<TPostgresRecords>(server.uri(server.freshDatabase()));
    }
    for (const auto& record : attempts()) store_->add(record);
  }
  void TearDown() override {
    store_.reset();
    std::filesystem::remove_all(folder_);
  }
  // The filter that `narrow` sets.
  std::vector<std::string> asked(const std::function<void(THistoryFilter&)>& narrow = {}) {
    THistoryFilter filter;
    if (narrow) narrow(filter);
    return serials(store_->history(filter));
  }

  std::filesystem::path folder_ = test::makeTempFolder("kelvry-history-");
  std::unique_ptr<IRecordStore> store_;
};

TEST_P(HistoryTest, ListsAttemptsNewestFirstNarrowedByEachFilter) {
  EXPECT_THAT(asked(), ElementsAre("@03", "C@03", "A@02", "B@01", "A@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.serial = "A"; }), ElementsAre("A@02", "A@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.port = "/dev/ttyUSB1"; }), ElementsAre("C@03", "B@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.since = test::utc("2026-12-02"); }), ElementsAre("@03", "C@03", "A@02"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.firmware = "V2.88"; }), ElementsAre("C@03", "B@01", "A@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.firmware = "2.92"; }), ElementsAre("@03", "A@02"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.result = "ok"; }), ElementsAre("@03", "A@02"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.result = "failed"; }), ElementsAre("A@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.result = "cancelled"; }), ElementsAre("B@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.result = "info"; }), ElementsAre("C@03"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.serial = "A"; f.result = "ok"; }), ElementsAre("A@02"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.serial = "nobody"; }), ElementsAre());
  EXPECT_THROW(asked([](THistoryFilter& f) { f.result = "maybe"; }), std::invalid_argument);
}

TEST_P(HistoryTest, LatestGivesEachLoggerItsLastAttemptThenFilters) {
  EXPECT_THAT(asked([](THistoryFilter& f) { f.latest = true; }), ElementsAre("@03", "C@03", "A@02", "B@01"));
  // Which loggers still run V2.88? A ran it once, but no longer.
  EXPECT_THAT(asked([](THistoryFilter& f) { f.firmware = "V2.88"; f.latest = true; }), ElementsAre("C@03", "B@01"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.serial = "A"; f.latest = true; }), ElementsAre("A@02"));
  EXPECT_THAT(asked([](THistoryFilter& f) { f.result = "failed"; f.latest = true; }), ElementsAre());
}

INSTANTIATE_TEST_SUITE_P(BothEngines, HistoryTest, ::testing::Values("sqlite", "postgresql"));

TEST(HistoryOutput, CellsMatchTheirHeaders) {
  const auto record = attempt("A", "2026-12-02T09:00:00.456Z", 0, "V2.92");
  EXPECT_EQ(historyCells(record).size(), historyHeaders().size());
  EXPECT_THAT(historyCells(record), ElementsAre("2026-12-02 09:00:00", "/dev/ttyUSB0", "A", "Kelvry V2.88",
                                                "Kelvry V2.92", "Kelvry V2.92 PR56", "ok", "mara", "bench-3"));
  EXPECT_EQ(historyCells(attempt("B", "2026-12-01T10:00:00.000Z", 20, ""))[4], "");
}

TEST(HistoryOutput, JsonUsesTheKeysOfARunsResult) {
  const auto record = attempt("A", "2026-12-02T09:00:00.456Z", 44, "");
  const auto line = nlohmann::json::parse(historyJsonLine(record));
  EXPECT_EQ(line["id"], record.id);
  EXPECT_EQ(line["status"], 44);
  EXPECT_EQ(line["result"], "failed");
  EXPECT_EQ(line["imageSha256"], record.image.sha256);
  EXPECT_EQ(line["image"], "Kelvry V2.92 PR56");
  EXPECT_EQ(line["loggerBefore"], "Kelvry V2.88");
  EXPECT_TRUE(line["loggerAfter"].is_null());
  EXPECT_EQ(line["started"], "2026-12-02T09:00:00.456Z");
  EXPECT_EQ(line["usb"]["serial"], "A");
  EXPECT_DOUBLE_EQ(line["seconds"].get<double>(), 61.25);
  EXPECT_EQ(line["report"].size(), 3u);
  EXPECT_EQ(historyJsonLine(record).find('\n'), std::string::npos);
}

TEST(HistoryOutput, CsvQuotesAsRfc4180Says) {
  const struct {
    const char* field;
    const char* written;
  } cases[] = {{"plain", "plain"},
               {"", ""},
               {"a,b", "\"a,b\""},
               {"say \"hi\"", "\"say \"\"hi\"\"\""},
               {"two\nlines", "\"two\nlines\""},
               {"cr\rhere", "\"cr\rhere\""}};
  for (const auto& c : cases) EXPECT_EQ(csvField(c.field), c.written) << c.field;

  const std::string csv = historyCsv({attempt("A", "2026-12-02T09:00:00.000Z", 0, "V2.92")});
  EXPECT_TRUE(csv.starts_with("id,station,operator,program,started,ended,port,"));
  EXPECT_THAT(csv, HasSubstr(",ok,0,\"Update finished: \"\"V2.92\"\", all lines read back, commas, too\",1,61.250,"));
  EXPECT_THAT(csv, HasSubstr("\"Logger class: Kelvry\nVersion: V2.88\nProgramming line 1 of 512\"\r\n"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\r'), 2);
}

TEST(ResultWords, NameEveryStatusOnce) {
  EXPECT_EQ(resultWord(0), "ok");
  EXPECT_EQ(resultWord(70), "info");
  EXPECT_EQ(resultWord(20), "cancelled");
  EXPECT_EQ(resultWord(21), "cancelled");
  for (const int status : {1, 10, 30, 44, 47, 80}) EXPECT_EQ(resultWord(status), "failed") << status;
  EXPECT_THAT(resultWords(), ElementsAre("ok", "info", "cancelled", "failed"));
}

}  // namespace
}  // namespace kelvry
