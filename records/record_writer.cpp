#include "records/record_writer.h"

namespace kelvry {

std::string failureText(const TRecordWriteFailure& failure) {
  return "record for " + failure.port + " not written: " + failure.reason;
}

TRecordWriter::TRecordWriter(std::unique_ptr<IRecordStore> store)
    : store_(std::move(store)), storeName_(store_->name()), thread_([this] { write(); }) {}

TRecordWriter::~TRecordWriter() { close(std::chrono::milliseconds(0)); }

void TRecordWriter::add(TAttemptRecord record) {
  {
    const std::lock_guard lock(mutex_);
    if (closing_) {
      failures_.push_back({record.port, "the records store is already closed"});
      return;
    }
    waiting_.push_back(std::move(record));
  }
  changed_.notify_all();
}

void TRecordWriter::flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return waiting_.empty() && writing_ == 0; });
}

void TRecordWriter::close(std::chrono::milliseconds deliveryWait) {
  {
    const std::lock_guard lock(mutex_);
    if (closing_ && !thread_.joinable()) return;
    closing_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
  store_->close(deliveryWait);
}

std::vector<TRecordWriteFailure> TRecordWriter::failures() {
  const std::lock_guard lock(mutex_);
  return failures_;
}

size_t TRecordWriter::pending() {
  try {
    return store_->pending();
  } catch (const std::exception&) {
    return 0;  // the queue itself failed: its records were told as failures
  }
}

std::string TRecordWriter::storeName() const { return storeName_; }

std::string TRecordWriter::waitingText() {
  const size_t waiting = pending();
  if (waiting == 0) return {};
  std::string text = std::to_string(waiting) + (waiting == 1 ? " record waits" : " records wait") +
                     " for delivery to " + storeName_;
  try {
    if (const std::string problem = store_->deliveryProblem(); !problem.empty())
      text += " (last try: " + problem + ")";
  } catch (const std::exception&) {
    // No reason to give: the count and the server still tell what waits.
  }
  return text + "; the next run delivers them";
}

void TRecordWriter::write() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // closing, and everything written
    TAttemptRecord record = std::move(waiting_.front());
    waiting_.pop_front();
    ++writing_;
    lock.unlock();
    std::string failure;
    try {
      store_->add(record);
    } catch (const std::exception& error) {
      failure = error.what();
    }
    lock.lock();
    --writing_;
    if (!failure.empty()) failures_.push_back({record.port, failure});
    changed_.notify_all();
  }
}

}  // namespace kelvry
