#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "records/attempt_record.h"
#include "records/history_filter.h"

// A place records are kept, whichever engine: a front end writes every
// attempt to it and asks it for history. Every failure is a
// TRecordStoreError whose text can be shown as it is.

namespace kelvry {

class IRecordStore {
 public:
  virtual ~IRecordStore() = default;

  // Keeps the record; a record whose id is already kept is left as it was.
  virtual void add(const TAttemptRecord& record) = 0;

  virtual std::vector<TAttemptRecord> history(const THistoryFilter& filter) = 0;

  // Records handed over but not yet in their final place (a server's queue).
  virtual size_t pending() { return 0; }

  // Gives what waits up to `wait` to reach its place; the rest stays queued
  // for the next run.
  virtual void close(std::chrono::milliseconds /*wait*/) {}

  // Why the last delivery to the server failed (without the password);
  // empty while deliveries go through, and for a store that delivers
  // nothing.
  virtual std::string deliveryProblem() { return {}; }

  // The store for messages: the file, or the server without its password.
  virtual std::string name() const = 0;
};

}  // namespace kelvry
