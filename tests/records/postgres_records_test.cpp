// The department's store on a real PostgreSQL server (the tests' private
// one): a record's round trip, refusals, the upgrade of an older schema,
// the password from libpq's password and service files, masked errors,
// and two processes writing at once.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>

#include "records/postgres_connection.h"
#include "records/postgres_records.h"
#include "records/record_columns.h"
#include "records/record_store_error.h"
#include "records/schema_steps.h"
#include "sample_records.h"
#include "test_environment.h"
#include "test_server.h"
#include "tests/support/temp_folder.h"
#include "writer_processes.h"

namespace kelvry {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class PostgresRecordsTest : public ::testing::Test {
 protected:
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Runs SQL in the case's database as its owner, as another program would.
  void onDatabase(const std::string& sql) const {
    TPostgresConnection(server_.uri(database_)).execute(sql);
  }
  std::string schemaVersion() const {
    return TPostgresConnection(server_.uri(database_)).rows("SELECT schema_version FROM kelvry_meta").at(0).at(0);
  }

  test::TTestServer server_ = test::testServer();
  std::string database_ = server_.freshDatabase();
  std::filesystem::path folder_ = test::makeTempFolder("kelvry-records-pg-");
};

TEST_F(PostgresRecordsTest, KeepsEveryFieldOfARecordAndEachIdOnce) {
  const TAttemptRecord record = test::fullRecord();
  {
    TPostgresRecords store(server_.uri(database_));
    store.add(record);
    auto again = record;
    again.status = 44;
    store.add(again);
  }
  TPostgresRecords reopened(server_.uri(database_));
  EXPECT_EQ(reopened.history({}), std::vector{record});
  EXPECT_EQ(schemaVersion(), std::to_string(currentSchemaVersion()));
}

TEST_F(PostgresRecordsTest, RefusesRecordsOfANewerProgramAndTablesNotOurs) {
  TPostgresRecords{server_.uri(database_)};
  onDatabase("UPDATE kelvry_meta SET schema_version = " + std::to_string(currentSchemaVersion() + 1));
  try {
    TPostgresRecords store(server_.uri(database_));
    ADD_FAILURE() << "a newer schema was opened";
  } catch (const TRecordStoreRefusal& refusal) {
    EXPECT_THAT(refusal.what(), HasSubstr("written by a newer version of this program"));
    EXPECT_THAT(refusal.what(), Not(HasSubstr(server_.password)));
  }
  const std::string other = server_.freshDatabase();
  TPostgresConnection(server_.uri(other)).execute("CREATE TABLE attempts (part TEXT)");
  EXPECT_THROW(TPostgresRecords{server_.uri(other)}, TRecordStoreRefusal);
}

TEST_F(PostgresRecordsTest, UpgradesADatabaseOfTheFirstSchemaStepKeepingItsRecords) {
  const TAttemptRecord old = test::fullRecord("OLD1");
  onDatabase("CREATE TABLE kelvry_meta (schema_version INTEGER NOT NULL); INSERT INTO kelvry_meta VALUES (1);" +
             std::string(schemaSteps()[0]));
  TPostgresConnection(server_.uri(database_)).rows(insertRecordSql(TPlaceholders::Dollar), recordValues(old));

  TPostgresRecords store(server_.uri(database_));
  EXPECT_EQ(store.history({}), std::vector{old});
  EXPECT_EQ(schemaVersion(), std::to_string(currentSchemaVersion()));
  const auto index = TPostgresConnection(server_.uri(database_))
                         .rows("SELECT count(*) FROM pg_indexes WHERE indexname = 'attempts_latest_per_logger'");
  EXPECT_EQ(index.at(0).at(0), "1");
}

TEST_F(PostgresRecordsTest, TakesThePasswordFromLibpqsPasswordAndServiceFiles) {
  const auto passwords = folder_ / "pgpass";
  std::ofstream(passwords) << "127.0.0.1:" << server_.port << ":*:" << server_.user << ":" << server_.password
                           << "\n";
  std::filesystem::permissions(passwords, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const auto services = folder_ / "pg_service.conf";
  std::ofstream(services) << "[kelvry_department]\nhost=127.0.0.1\nport=" << server_.port
                          << "\nuser=" << server_.user << "\ndbname=" << database_ << "\n";
  test::setEnvironment("PGPASSFILE", passwords.string());
  test::setEnvironment("PGSERVICEFILE", services.string());

  TPostgresRecords(server_.uriWithoutPassword(database_)).add(test::fullRecord("BYFILE"));
  TPostgresRecords byService("service=kelvry_department");
  EXPECT_EQ(byService.history({}).size(), 1u);
  TPostgresRecords byServiceUri("postgresql:///?service=kelvry_department");
  EXPECT_EQ(byServiceUri.history({}).size(), 1u);
  test::clearEnvironment("PGPASSFILE");
  test::clearEnvironment("PGSERVICEFILE");
}

TEST_F(PostgresRecordsTest, AWrongPasswordIsToldWithoutShowingIt) {
  const std::vector<std::string> addresses = {
      "postgresql://" + server_.user + ":Wr0ng%21Secret@127.0.0.1:" + server_.port + "/" + database_,
      "host=127.0.0.1 port=" + server_.port + " user=" + server_.user + " password='Wr0ng!Secret' dbname=" +
          database_};
  test::setEnvironment("PGPASSFILE", "/nonexistent");
  for (const auto& address : addresses) {
    try {
      TPostgresRecords store(address);
      ADD_FAILURE() << "a wrong password was taken";
    } catch (const TRecordStoreError& error) {
      EXPECT_THAT(error.what(), HasSubstr("cannot be reached"));
      EXPECT_THAT(error.what(), HasSubstr("password authentication failed"));
      EXPECT_THAT(error.what(), HasSubstr("****"));
      EXPECT_THAT(error.what(), Not(HasSubstr("Wr0ng")));
    }
  }
  test::clearEnvironment("PGPASSFILE");
}

TEST_F(PostgresRecordsTest, TwoProcessesWritingAtOnceLoseNothing) {
  const std::string address = server_.uri(database_);
  const auto first = test::startWriter({address, "100", "first", (folder_ / "one").string()});
  const auto second = test::startWriter({address, "100", "second", (folder_ / "two").string()});
  EXPECT_EQ(test::waitForWriter(first), 0);
  EXPECT_EQ(test::waitForWriter(second), 0);
  const auto all = TPostgresRecords(address).history({});
  std::set<std::string> ids;
  for (const auto& record : all) ids.insert(record.id);
  EXPECT_EQ(all.size(), 200u);
  EXPECT_EQ(ids.size(), 200u);
}

}  // namespace
}  // namespace kelvry
