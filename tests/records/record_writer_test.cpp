// The writer a front end hands records to: it writes on its own thread,
// loses none, and keeps a failed write for the front end to tell.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include "records/record_writer.h"
#include "records/sqlite_records.h"
#include "sample_records.h"
#include "tests/support/temp_folder.h"

namespace kelvry {
namespace {

using ::testing::HasSubstr;

class RecordWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path folder_ = test::makeTempFolder("kelvry-writer-");
  std::filesystem::path file_ = folder_ / "records.sqlite";
};

TEST_F(RecordWriterTest, WritesEveryRecordHandedOverFromManyThreads) {
  {
    TRecordWriter writer(std::make_unique<TSqliteRecords>(file_));
    std::vector<std::thread> jobs;
    for (int job = 0; job < 8; ++job)
      jobs.emplace_back([&writer, job] {
        for (int i = 0; i < 25; ++i) writer.add(test::fullRecord("J" + std::to_string(job) + "-" + std::to_string(i)));
      });
    for (auto& job : jobs) job.join();
    writer.flush();
    EXPECT_EQ(TSqliteRecords(file_).count(), 200u);
    writer.close(std::chrono::seconds(1));
    EXPECT_TRUE(writer.failures().empty());
    EXPECT_EQ(writer.pending(), 0u);
    EXPECT_EQ(writer.storeName(), file_.string());
  }
  EXPECT_EQ(TSqliteRecords(file_).count(), 200u);
}

TEST_F(RecordWriterTest, KeepsAFailedWriteForTheFrontEndToTell) {
  TRecordWriter writer(std::make_unique<TSqliteRecords>(file_));
  // Another program breaks the file under the open store.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file_.string().c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "DROP TABLE attempts", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);

  auto record = test::fullRecord();
  record.port = "COM7";
  writer.add(record);  // returns, does not throw
  writer.close(std::chrono::seconds(1));
  const auto failures = writer.failures();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures.front().port, "COM7");
  EXPECT_THAT(failureText(failures.front()), HasSubstr("record for COM7 not written: The records file "));
  EXPECT_THAT(failureText(failures.front()), HasSubstr("no such table"));

  writer.add(record);  // after closing
  EXPECT_EQ(writer.failures().size(), 2u);
}

}  // namespace
}  // namespace kelvry
