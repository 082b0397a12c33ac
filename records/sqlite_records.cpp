#include "records/sqlite_records.h"

#include "records/private_file.h"
#include "records/record_columns.h"
#include "records/record_store_error.h"
#include "records/schema_steps.h"
#include "records/sqlite_connection.h"
#include "records/sqlite_header.h"

namespace kelvry {

namespace {

// Another bench writing to the same file holds it for milliseconds; a
// minute covers a slow disk without hanging a run for ever.
constexpr int kBusyTimeoutMs = 60'000;

}  // namespace

TSqliteRecords::TSqliteRecords(const std::filesystem::path& path) : path_(path) {
  if (!createPrivateFile(path_))
    throw TRecordStoreError("The records file " + path_.string() + " cannot be created: " +
                            std::generic_category().message(errno) + ".");
  if (const auto fault = sqliteHeaderFault(path_))
    throw TRecordStoreRefusal("The records file " + path_.string() + " is refused: " + *fault + ".");
  db_ = std::make_unique<TSqliteConnection>(path_, kBusyTimeoutMs);
  checkAndUpgrade();
}

TSqliteRecords::~TSqliteRecords() = default;

void TSqliteRecords::checkAndUpgrade() {
  // Reading the header pragmas makes SQLite read the first page: a file
  // that is no database fails here, before anything is written.
  const int64_t application = db_->number("PRAGMA application_id");
  const int64_t version = db_->number("PRAGMA user_version");
  const int64_t tables = db_->number("SELECT count(*) FROM sqlite_master");
  if (application != kRecordsApplicationId && (application != 0 || tables != 0))
    db_->refuse("it is not a records file of this program");
  if (version > currentSchemaVersion())
    db_->refuse("it was written by a newer version of this program (schema " + std::to_string(version) +
              ", this one knows " + std::to_string(currentSchemaVersion()) + ")");
  if (version < currentSchemaVersion()) {
    // The write lock first, then the version again: another process may
    // have upgraded the file meanwhile.
    db_->execute("BEGIN IMMEDIATE");
    try {
      const int64_t now = db_->number("PRAGMA user_version");
      for (int64_t step = now; step < currentSchemaVersion(); ++step)
        db_->execute(schemaSteps()[static_cast<size_t>(step)]);
      db_->execute("PRAGMA application_id = " + std::to_string(kRecordsApplicationId));
      db_->execute("PRAGMA user_version = " + std::to_string(currentSchemaVersion()));
      db_->execute("COMMIT");
    } catch (...) {
      db_->execute("ROLLBACK");
      throw;
    }
  }
  // Readers never wait for a writer, and a write costs one sync at most.
  db_->execute("PRAGMA journal_mode = WAL");
  db_->execute("PRAGMA synchronous = NORMAL");
  // A department's history file grows to hundreds of megabytes: mapped,
  // its pages are read without a copy per page.
  db_->execute("PRAGMA mmap_size = 1073741824");
}

void TSqliteRecords::add(const TAttemptRecord& record) {
  const std::lock_guard lock(mutex_);
  db_->run(insertRecordSql(TPlaceholders::Question), recordValues(record));
}

std::vector<TAttemptRecord> TSqliteRecords::history(const THistoryFilter& filter) {
  const std::lock_guard lock(mutex_);
  const TSqlQuery query = historyQuery(filter, TPlaceholders::Question);
  std::vector<TAttemptRecord> records;
  for (const auto& row : db_->rows(query.sql, query.parameters)) records.push_back(recordFromTexts(row));
  return records;
}

std::string TSqliteRecords::name() const { return path_.string(); }

std::vector<TAttemptRecord> TSqliteRecords::oldest(size_t count) {
  const std::lock_guard lock(mutex_);
  std::vector<TAttemptRecord> records;
  const std::string sql = "SELECT " + recordColumnList() + " FROM attempts ORDER BY rowid LIMIT ?";
  for (const auto& row : db_->rows(sql, {static_cast<int64_t>(count)})) records.push_back(recordFromTexts(row));
  return records;
}

void TSqliteRecords::remove(const std::string& id) {
  const std::lock_guard lock(mutex_);
  db_->run("DELETE FROM attempts WHERE id = ?", {id});
}

size_t TSqliteRecords::count() {
  const std::lock_guard lock(mutex_);
  return static_cast<size_t>(db_->number("SELECT count(*) FROM attempts"));
}

}  // namespace kelvry
