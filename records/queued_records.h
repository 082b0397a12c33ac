#pragma once

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "records/record_store.h"
#include "records/sqlite_records.h"

// A department's server as a bench writes to it: every record goes first
// into a local queue file (same schema, SQLite) and a thread of its own
// delivers it. A server that is down, restarting or slow never delays or
// stops the caller; nothing is lost, since a record leaves the queue only
// after the server has it, and delivering one twice keeps one row (the id
// is the key). A later run on the same server delivers what earlier runs
// left.

namespace kelvry {

class TPostgresRecords;

class TQueuedRecords final : public IRecordStore {
 public:
  // Opens the queue in `queueFolder` and starts delivering. The server has
  // `firstContact` to answer: a server that refuses (records not ours,
  // newer) throws its TRecordStoreRefusal here; one that does not answer
  // leaves the records queued.
  TQueuedRecords(const std::string& address, const std::filesystem::path& queueFolder,
                 std::chrono::milliseconds firstContact);
  ~TQueuedRecords() override;

  void add(const TAttemptRecord& record) override;
  // The server's records (it must be there to answer).
  std::vector<TAttemptRecord> history(const THistoryFilter& filter) override;
  size_t pending() override;
  void close(std::chrono::milliseconds wait) override;
  std::string name() const override;

  std::string deliveryProblem() override;
  const std::filesystem::path& queuePath() const { return queuePath_; }

 private:
  void deliver();
  void connect(std::unique_ptr<TPostgresRecords>& server);
  bool deliverSome(TPostgresRecords& server);
  void stopDelivering();

  std::string address_;
  std::filesystem::path queuePath_;
  TSqliteRecords queue_;

  std::mutex mutex_;
  std::condition_variable changed_;
  bool wake_ = false;
  bool stop_ = false;
  bool contacted_ = false;
  std::optional<std::string> refusal_;
  std::string lastError_;
  TPostgresRecords* server_ = nullptr;  // the delivery's connection, for cancel
  std::thread thread_;
};

}  // namespace kelvry
