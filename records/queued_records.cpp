#include "records/queued_records.h"

#include "records/password_mask.h"
#include "records/postgres_records.h"
#include "records/queue_file.h"
#include "records/record_store_error.h"

namespace kelvry {

namespace {

// A server that went away is tried again soon, then less often.
constexpr std::chrono::milliseconds kFirstRetry{100};
constexpr std::chrono::milliseconds kLongestRetry{5000};
constexpr size_t kBatch = 64;

}  // namespace

TQueuedRecords::TQueuedRecords(const std::string& address, const std::filesystem::path& queueFolder,
                               std::chrono::milliseconds firstContact)
    : address_(address), queuePath_(queueFilePath(queueFolder, address)), queue_(queuePath_) {
  thread_ = std::thread([this] { deliver(); });
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, firstContact, [this] { return contacted_; });
  if (refusal_) {
    const TRecordStoreRefusal refusal(*refusal_);
    lock.unlock();
    stopDelivering();
    throw refusal;
  }
}

TQueuedRecords::~TQueuedRecords() { stopDelivering(); }

void TQueuedRecords::add(const TAttemptRecord& record) {
  queue_.add(record);
  {
    const std::lock_guard lock(mutex_);
    wake_ = true;
  }
  changed_.notify_all();
}

std::vector<TAttemptRecord> TQueuedRecords::history(const THistoryFilter& filter) {
  return TPostgresRecords(address_).history(filter);
}

size_t TQueuedRecords::pending() { return queue_.count(); }

void TQueuedRecords::close(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  {
    const std::lock_guard lock(mutex_);
    wake_ = true;
  }
  changed_.notify_all();
  // The queue file is the truth (another process may deliver from it too):
  // look at it now and then rather than keep a count.
  while (pending() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(20), [this] { return stop_; });
  }
  stopDelivering();
}

std::string TQueuedRecords::name() const { return maskedConnection(address_); }

std::string TQueuedRecords::deliveryProblem() {
  const std::lock_guard lock(mutex_);
  return lastError_;
}

void TQueuedRecords::stopDelivering() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
    // A statement stalled on a slow server must not hold the closing run.
    if (server_) server_->cancel();
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TQueuedRecords::connect(std::unique_ptr<TPostgresRecords>& server) {
  std::optional<std::string> error;
  bool refused = false;
  try {
    server = std::make_unique<TPostgresRecords>(address_);
  } catch (const TRecordStoreRefusal& refusal) {
    error = refusal.what();
    refused = true;
  } catch (const TRecordStoreError& failure) {
    error = failure.what();
  }
  {
    const std::lock_guard lock(mutex_);
    if (refused && !contacted_) refusal_ = error;
    contacted_ = true;
    lastError_ = error.value_or("");
    server_ = server.get();
  }
  changed_.notify_all();
}

bool TQueuedRecords::deliverSome(TPostgresRecords& server) {
  const auto records = queue_.oldest(kBatch);
  for (const auto& record : records) {
    // Into the server first, out of the queue after: a crash between the
    // two delivers the record again, which the server keeps once.
    server.add(record);
    queue_.remove(record.id);
  }
  return !records.empty();
}

void TQueuedRecords::deliver() {
  std::unique_ptr<TPostgresRecords> server;
  auto retry = kFirstRetry;
  for (;;) {
    {
      const std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    if (!server) connect(server);
    bool delivered = false;
    if (server) {
      try {
        delivered = deliverSome(*server);
        retry = kFirstRetry;
      } catch (const std::exception& failure) {
        // The server went away (or the queue could not be read): connect
        // again later; the records stay queued.
        {
          const std::lock_guard lock(mutex_);
          lastError_ = failure.what();
          server_ = nullptr;
        }
        server.reset();
      }
    }
    if (delivered) continue;
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, server ? kLongestRetry : retry, [this] { return stop_ || wake_; });
    wake_ = false;
    if (!server) retry = std::min(retry * 2, kLongestRetry);
  }
  const std::lock_guard lock(mutex_);
  server_ = nullptr;
}

}  // namespace kelvry
