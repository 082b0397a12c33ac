#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "records/attempt_record.h"
#include "records/record_store.h"

// How a job's record reaches the store without the job waiting for a disk
// or a network: add() hands the record to the writer's own thread, which
// writes it. A failed write is kept here for the front end to tell
// ("record for <port> not written: <reason>") and turn into its exit
// status; it is never thrown into the job's thread.

namespace kelvry {

struct TRecordWriteFailure {
  std::string port;
  std::string reason;
};

// "record for COM3 not written: <reason>"
std::string failureText(const TRecordWriteFailure& failure);

class TRecordWriter {
 public:
  explicit TRecordWriter(std::unique_ptr<IRecordStore> store);
  ~TRecordWriter();
  TRecordWriter(const TRecordWriter&) = delete;
  TRecordWriter& operator=(const TRecordWriter&) = delete;

  // Returns at once; from any thread.
  void add(TAttemptRecord record);
  // Returns when every record added so far is written or has failed.
  void flush();
  // flush(), then gives the store up to `deliveryWait` to deliver what it
  // queued, and ends the thread. Records added later are refused as
  // failures.
  void close(std::chrono::milliseconds deliveryWait);

  std::vector<TRecordWriteFailure> failures();
  // Records still waiting in the store's queue for their server.
  size_t pending();
  std::string storeName() const;
  // What a front end tells at the end when records still wait: how many,
  // for which server, why the last try failed (a wrong password looks like
  // a server that is away until someone reads this) and that the next run
  // delivers them; empty when nothing waits.
  std::string waitingText();

 private:
  void write();

  std::unique_ptr<IRecordStore> store_;
  std::string storeName_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<TAttemptRecord> waiting_;
  size_t writing_ = 0;
  bool closing_ = false;
  std::vector<TRecordWriteFailure> failures_;
  std::thread thread_;
};

}  // namespace kelvry
