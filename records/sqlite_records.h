#pragma once

#include <filesystem>
#include <memory>
#include <mutex>

#include "records/record_store.h"

// The records in one SQLite file: a bench's own store, and the queue in
// front of a server. Opening checks the file is ours and not damaged or
// newer than this program before anything is written, creates it (owner
// only) when new, and upgrades an older schema.

namespace kelvry {

class TSqliteConnection;

class TSqliteRecords final : public IRecordStore {
 public:
  explicit TSqliteRecords(const std::filesystem::path& path);
  ~TSqliteRecords() override;

  void add(const TAttemptRecord& record) override;
  std::vector<TAttemptRecord> history(const THistoryFilter& filter) override;
  std::string name() const override;

  // For a queue: the records longest there, at most `count`.
  std::vector<TAttemptRecord> oldest(size_t count);
  void remove(const std::string& id);
  size_t count();

 private:
  void checkAndUpgrade();

  std::filesystem::path path_;
  std::mutex mutex_;
  std::unique_ptr<TSqliteConnection> db_;
};

}  // namespace kelvry
