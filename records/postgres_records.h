#pragma once

#include <memory>
#include <string>

#include "records/record_store.h"

// The records on a department's server (PostgreSQL), written directly: the
// queue in front of it (queued_records.h) is what a bench uses, this is
// what the queue delivers with and what history reads. Connecting checks
// the schema (a meta table holds its version) and upgrades an older one.

namespace kelvry {

class TPostgresConnection;

class TPostgresRecords final : public IRecordStore {
 public:
  // Throws TRecordStoreError when the server cannot be reached and
  // TRecordStoreRefusal when its records are not ours or newer.
  explicit TPostgresRecords(const std::string& address);
  ~TPostgresRecords() override;

  void add(const TAttemptRecord& record) override;
  std::vector<TAttemptRecord> history(const THistoryFilter& filter) override;
  std::string name() const override;

  // Stops a statement that hangs on a stalled server; from any thread.
  void cancel();

 private:
  void checkAndUpgrade();

  std::string address_;
  std::unique_ptr<TPostgresConnection> db_;
};

}  // namespace kelvry
