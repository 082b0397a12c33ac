// The bench's own store in a real SQLite file: a record's round trip,
// refusals before anything is written, the upgrade of an older file, the
// file's mode, two processes at once and a full disk.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>

#include "records/record_columns.h"
#include "records/record_store_error.h"
#include "records/schema_steps.h"
#include "records/sqlite_records.h"
#include "sample_records.h"
#include "tests/support/temp_folder.h"
#include "writer_processes.h"

namespace kelvry {
namespace {

using ::testing::HasSubstr;

class SqliteRecordsTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path file(const std::string& name = "records.sqlite") const { return folder_ / name; }

  std::filesystem::path folder_ = test::makeTempFolder("kelvry-records-");
};

// Runs SQL on a file directly, as another program would.
void onFile(const std::filesystem::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.string().c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  const int code = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(code, SQLITE_OK) << message;
}

std::string fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(SqliteRecordsTest, KeepsEveryFieldOfARecordAndEachIdOnce) {
  const TAttemptRecord record = test::fullRecord();
  {
    TSqliteRecords store(file());
    store.add(record);
    auto again = record;
    again.resultText = "a second delivery of the same id";
    store.add(again);
  }
  TSqliteRecords reopened(file());
  const auto all = reopened.history({});
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all.front(), record);
}

TEST_F(SqliteRecordsTest, NewFileIsReadableByItsOwnerOnly) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no mode bits: a new file in the user's folders is the user's alone";
#endif
  TSqliteRecords store(file("sub/folder/records.sqlite"));
  store.add(test::fullRecord());
  for (const auto& name : {"sub/folder/records.sqlite", "sub/folder/records.sqlite-wal"}) {
    struct stat facts {};
    ASSERT_EQ(::stat(file(name).string().c_str(), &facts), 0) << name;
    EXPECT_EQ(facts.st_mode & 0777, 0600u) << name;
  }
}

struct TRefusalCase {
  const char* name;
  std::function<void(const std::filesystem::path&)> prepare;
  const char* because;
};

TEST_F(SqliteRecordsTest, RefusesAFileThatIsNotOursNewerOrDamagedBeforeWritingToIt) {
  const std::vector<TRefusalCase> cases = {
      {"another program's database", [](const auto& p) { onFile(p, "CREATE TABLE parts (name TEXT)"); },
       "not a records file of this program"},
      {"another program's mark", [](const auto& p) { onFile(p, "PRAGMA application_id = 1234"); },
       "not a records file of this program"},
      {"a newer schema",
       [](const auto& p) {
         TSqliteRecords{p};
         onFile(p, "PRAGMA user_version = " + std::to_string(currentSchemaVersion() + 1));
       },
       "written by a newer version of this program"},
      {"garbage bytes", [](const auto& p) { std::ofstream(p) << std::string(8192, '\x5a'); },
       "not an SQLite database"},
      {"a short text", [](const auto& p) { std::ofstream(p) << "records\n"; }, "not an SQLite database"},
      {"a file cut off",
       [](const auto& p) {
         {
           TSqliteRecords store(p);
           for (int i = 0; i < 200; ++i) store.add(test::fullRecord("S" + std::to_string(i)));
         }
         onFile(p, "PRAGMA journal_mode = DELETE");
         std::filesystem::resize_file(p, std::filesystem::file_size(p) / 2);
       },
       "cut off"},
  };
  for (const auto& c : cases) {
    const auto path = file(std::string(c.name) + ".sqlite");
    c.prepare(path);
    const std::string before = fileBytes(path);
    try {
      TSqliteRecords store(path);
      ADD_FAILURE() << c.name << " was opened";
    } catch (const TRecordStoreRefusal& refusal) {
      EXPECT_THAT(refusal.what(), HasSubstr(c.because)) << c.name;
      EXPECT_THAT(refusal.what(), HasSubstr(path.string())) << c.name;
    }
    EXPECT_EQ(fileBytes(path), before) << c.name << " was written to";
    EXPECT_FALSE(std::filesystem::exists(path.string() + "-wal")) << c.name;
  }
}

TEST_F(SqliteRecordsTest, UpgradesAFileOfTheFirstSchemaStepKeepingItsRecords) {
  const TAttemptRecord old = test::fullRecord("OLD1");
  onFile(file(), std::string(schemaSteps()[0]) + "PRAGMA application_id = " + std::to_string(kRecordsApplicationId) +
                     "; PRAGMA user_version = 1;");
  {
    // The first release wrote its rows with the same columns.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().string().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, insertRecordSql(TPlaceholders::Question).c_str(), -1, &insert, nullptr),
              SQLITE_OK);
    const auto values = recordValues(old);
    for (size_t i = 0; i < values.size(); ++i) {
      if (const auto* n = std::get_if<int64_t>(&values[i]))
        sqlite3_bind_int64(insert, static_cast<int>(i + 1), *n);
      else
        sqlite3_bind_text(insert, static_cast<int>(i + 1), std::get<std::string>(values[i]).c_str(), -1,
                          SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_close(db);
  }
  TSqliteRecords store(file());
  EXPECT_EQ(store.history({}), std::vector{old});
  store.add(test::fullRecord("NEW1"));
  EXPECT_EQ(store.count(), 2u);
  onFile(file(), "CREATE TABLE check_version AS SELECT 1 AS v");  // the file still takes writes
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file().string().c_str(), &db), SQLITE_OK);
  sqlite3_stmt* query = nullptr;
  sqlite3_prepare_v2(db, "SELECT (SELECT user_version FROM pragma_user_version), "
                         "(SELECT count(*) FROM sqlite_master WHERE name = 'attempts_latest_per_logger')",
                     -1, &query, nullptr);
  ASSERT_EQ(sqlite3_step(query), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_int(query, 0), currentSchemaVersion());
  EXPECT_EQ(sqlite3_column_int(query, 1), 1);
  sqlite3_finalize(query);
  sqlite3_close(db);
}

TEST_F(SqliteRecordsTest, TwoProcessesWritingAtOnceLoseNothing) {
  TSqliteRecords{file()};  // both find the file made
  const auto first = test::startWriter({file().string(), "150", "first", folder_.string()});
  const auto second = test::startWriter({file().string(), "150", "second", folder_.string()});
  EXPECT_EQ(test::waitForWriter(first), 0);
  EXPECT_EQ(test::waitForWriter(second), 0);
  TSqliteRecords store(file());
  const auto all = store.history({});
  std::set<std::string> ids;
  for (const auto& record : all) ids.insert(record.id);
  EXPECT_EQ(all.size(), 300u);
  EXPECT_EQ(ids.size(), 300u);
}

TEST_F(SqliteRecordsTest, AFullDiskIsToldAsAnErrorNotACrash) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no file size limit to stand in for a full disk";
#endif
  // 200 records of 40 kB reports cannot fit in 256 kB.
  const auto errors = folder_ / "errors.txt";
  const auto writer =
      test::startWriter({file().string(), "200", "full", folder_.string(), "262144"}, errors.string());
  EXPECT_EQ(test::waitForWriter(writer), 3);
  EXPECT_THAT(fileBytes(errors), HasSubstr("The records file " + file().string() + " could not be written"));
}

}  // namespace
}  // namespace kelvry
