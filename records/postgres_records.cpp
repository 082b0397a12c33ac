#include "records/postgres_records.h"

#include "records/password_mask.h"
#include "records/postgres_connection.h"
#include "records/record_columns.h"
#include "records/record_store_error.h"
#include "records/schema_steps.h"

namespace kelvry {

namespace {

// Benches that connect at once upgrade one after the other: the first
// takes this lock for its transaction, the others then find the work done.
constexpr std::string_view kSchemaLock = "SELECT pg_advisory_xact_lock(1263425106)";

}  // namespace

TPostgresRecords::TPostgresRecords(const std::string& address)
    : address_(address), db_(std::make_unique<TPostgresConnection>(address)) {
  checkAndUpgrade();
}

TPostgresRecords::~TPostgresRecords() = default;

void TPostgresRecords::checkAndUpgrade() {
  db_->execute("BEGIN");
  try {
    db_->execute(std::string(kSchemaLock));
    const auto tables = db_->rows(
        "SELECT to_regclass('kelvry_meta') IS NOT NULL, to_regclass('attempts') IS NOT NULL");
    const bool hasMeta = tables.at(0).at(0) == "t";
    const bool hasAttempts = tables.at(0).at(1) == "t";
    if (!hasMeta && hasAttempts) db_->refuse("its attempts table is not one of this program");
    if (!hasMeta) {
      db_->execute("CREATE TABLE kelvry_meta (schema_version INTEGER NOT NULL)");
      db_->execute("INSERT INTO kelvry_meta (schema_version) VALUES (0)");
    }
    const auto versions = db_->rows("SELECT schema_version FROM kelvry_meta");
    if (versions.size() != 1) db_->refuse("its meta table is damaged");
    const int version = std::stoi(versions[0][0]);
    if (version > currentSchemaVersion())
      db_->refuse("it was written by a newer version of this program (schema " + std::to_string(version) +
                  ", this one knows " + std::to_string(currentSchemaVersion()) + ")");
    for (int step = version; step < currentSchemaVersion(); ++step)
      db_->execute(std::string(schemaSteps()[static_cast<size_t>(step)]));
    if (version < currentSchemaVersion())
      db_->rows("UPDATE kelvry_meta SET schema_version = $1", {int64_t{currentSchemaVersion()}});
    db_->execute("COMMIT");
  } catch (...) {
    try {
      db_->execute("ROLLBACK");
    } catch (const TRecordStoreError&) {
      // The connection is gone: so is the transaction.
    }
    throw;
  }
}

void TPostgresRecords::add(const TAttemptRecord& record) {
  db_->rows(insertRecordSql(TPlaceholders::Dollar), recordValues(record));
}

std::vector<TAttemptRecord> TPostgresRecords::history(const THistoryFilter& filter) {
  const TSqlQuery query = historyQuery(filter, TPlaceholders::Dollar);
  std::vector<TAttemptRecord> records;
  for (const auto& row : db_->rows(query.sql, query.parameters)) records.push_back(recordFromTexts(row));
  return records;
}

std::string TPostgresRecords::name() const { return maskedConnection(address_); }

void TPostgresRecords::cancel() { db_->cancel(); }

}  // namespace kelvry
