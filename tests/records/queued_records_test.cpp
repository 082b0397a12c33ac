// The queue in front of a department's server: records reach the server
// exactly once whatever the server does, a later run delivers what an
// earlier one left, and closing waits no longer than it is told.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <set>

#include "records/postgres_records.h"
#include "records/queue_file.h"
#include "records/queued_records.h"
#include "records/record_store_error.h"
#include "records/sqlite_records.h"
#include "sample_records.h"
#include "test_server.h"
#include "tests/support/temp_folder.h"

namespace kelvry {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::chrono::seconds kGenerous{60};

class QueuedRecordsTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::vector<TAttemptRecord> onServer(const std::string& address) const {
    return TPostgresRecords(address).history({});
  }

  test::TTestServer server_ = test::testServer();
  std::string database_ = server_.freshDatabase();
  std::filesystem::path folder_ = test::makeTempFolder("kelvry-queue-");
};

// Every id once, and as many as were written.
void expectEachOnce(const std::vector<TAttemptRecord>& records, size_t count) {
  std::set<std::string> ids;
  for (const auto& record : records) ids.insert(record.id);
  EXPECT_EQ(records.size(), count);
  EXPECT_EQ(ids.size(), count);
}

TEST_F(QueuedRecordsTest, QueueFileIsNamedAfterTheServerWithoutItsPassword) {
  const auto path = queueFilePath(folder_, server_.uri(database_));
  // std::regex: GoogleTest's own on Windows knows no classes or counts.
  const std::string name = path.filename().string();
  EXPECT_TRUE(std::regex_match(name, std::regex("queue-[0-9a-f]{16}\\.sqlite"))) << name;
  const std::string otherPassword =
      "postgresql://" + server_.user + ":another-password@127.0.0.1:" + server_.port + "/" + database_;
  EXPECT_EQ(path, queueFilePath(folder_, otherPassword));
  EXPECT_NE(path, queueFilePath(folder_, server_.uri(server_.freshDatabase())));
}

TEST_F(QueuedRecordsTest, DeliversEveryRecordAndEmptiesTheQueue) {
  TQueuedRecords store(server_.uri(database_), folder_, kGenerous);
  for (int i = 0; i < 30; ++i) store.add(test::fullRecord("Q" + std::to_string(i)));
  store.close(kGenerous);
  EXPECT_EQ(store.pending(), 0u);
  expectEachOnce(onServer(server_.uri(database_)), 30);
  EXPECT_EQ(store.name(), server_.uri(database_).replace(server_.uri(database_).find(server_.password),
                                                         server_.password.size(), "****"));
}

TEST_F(QueuedRecordsTest, ARecordDeliveredButStillQueuedAfterACrashIsKeptOnce) {
  // A run that stopped between the server's insert and the queue's delete.
  const TAttemptRecord delivered = test::fullRecord("CRASH1");
  const TAttemptRecord waiting = test::fullRecord("LEFT1");
  {
    TSqliteRecords queue(queueFilePath(folder_, server_.uri(database_)));
    queue.add(delivered);
    queue.add(waiting);
  }
  TPostgresRecords(server_.uri(database_)).add(delivered);

  TQueuedRecords store(server_.uri(database_), folder_, kGenerous);
  store.close(kGenerous);
  EXPECT_EQ(store.pending(), 0u);
  const auto all = onServer(server_.uri(database_));
  expectEachOnce(all, 2);
}

TEST_F(QueuedRecordsTest, ClosingWithTheServerAwayWaitsAsToldAndKeepsTheRecordsForTheNextRun) {
  // Port 1: nothing listens there, so every attempt fails at once.
  const std::string away = "postgresql://" + server_.user + ":" + server_.password + "@127.0.0.1:1/" + database_;
  {
    TQueuedRecords store(away, folder_, std::chrono::milliseconds(500));
    for (int i = 0; i < 3; ++i) store.add(test::fullRecord("AWAY" + std::to_string(i)));
    store.close(std::chrono::milliseconds(300));
    EXPECT_EQ(store.pending(), 3u);
    EXPECT_THAT(store.deliveryProblem(), HasSubstr("cannot be reached"));
    EXPECT_THAT(store.deliveryProblem(), Not(HasSubstr(server_.password)));
  }
  TSqliteRecords left(queueFilePath(folder_, away));
  EXPECT_EQ(left.count(), 3u);
}

TEST_F(QueuedRecordsTest, ANewStoreOnTheSameServerDeliversWhatEarlierRunsLeft) {
  {
    TSqliteRecords queue(queueFilePath(folder_, server_.uri(database_)));
    for (int i = 0; i < 5; ++i) queue.add(test::fullRecord("EARLIER" + std::to_string(i)));
  }
  TQueuedRecords store(server_.uri(database_), folder_, kGenerous);
  store.add(test::fullRecord("NOW"));
  store.close(kGenerous);
  expectEachOnce(onServer(server_.uri(database_)), 6);
}

TEST_F(QueuedRecordsTest, AServerThatRefusesIsToldAtOpening) {
  TPostgresRecords{server_.uri(database_)};
  TPostgresConnection(server_.uri(database_)).execute("UPDATE kelvry_meta SET schema_version = 999");
  EXPECT_THROW(TQueuedRecords(server_.uri(database_), folder_, kGenerous), TRecordStoreRefusal);
}

// A server of its own, stopped in the middle of a run and started again.
class QueuedRecordsRestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "the server's script is a Linux program: the restart is tried on Linux";
#endif
    ASSERT_EQ(script("start"), 0);
    server_ = test::readTestServer(serverFolder_.string());
    database_ = server_.freshDatabase();
  }
  void TearDown() override {
    script("stop");
    std::filesystem::remove_all(folder_);
  }
  int script(const std::string& command) const {
    return std::system((std::string(KELVRY_POSTGRES_SCRIPT) + " " + command + " " + serverFolder_.string()).c_str());
  }

  std::filesystem::path folder_ = test::makeTempFolder("kelvry-restart-");
  std::filesystem::path serverFolder_ = folder_ / "server";
  test::TTestServer server_;
  std::string database_;
};

TEST_F(QueuedRecordsRestartTest, EveryRecordArrivesExactlyOnceWhenTheServerStopsAndStartsAgain) {
  TQueuedRecords store(server_.uri(database_), folder_ / "queue", kGenerous);
  int written = 0;
  const auto writeSome = [&] {
    for (int i = 0; i < 20; ++i) store.add(test::fullRecord("R" + std::to_string(written++)));
  };
  writeSome();
  ASSERT_EQ(script("halt"), 0);
  writeSome();  // the caller goes on while the server is away
  EXPECT_GT(store.pending(), 0u);
  ASSERT_EQ(script("resume"), 0);
  writeSome();
  store.close(kGenerous);
  EXPECT_EQ(store.pending(), 0u);
  expectEachOnce(TPostgresRecords(server_.uri(database_)).history({}), 60);
}

}  // namespace
}  // namespace kelvry
