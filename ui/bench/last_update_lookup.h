#pragma once

#include <memory>
#include <string>

#include "records/record_store.h"

// "Last updated" of a bench row: when a logger, known by its USB serial,
// was last updated and with what, from the newest record the store holds
// for it. Asked on the window's thread when a row appears, so it only ever
// reads a file on this machine: a server store is not asked (its answer
// could take seconds), and a file that is not there yet is not created.

namespace kelvry {

class TLastUpdateLookup {
 public:
  explicit TLastUpdateLookup(std::string location);
  ~TLastUpdateLookup();

  // "2026-12-10 14:05, Kelvry V2.92 A10i" (local time), "-" for a logger the
  // store has never seen, "" where nothing can be told: no serial, a server
  // store, a file that cannot be read.
  std::string textFor(const std::string& serial);

 private:
  IRecordStore* store();

  std::string location_;
  bool local_ = false;
  std::unique_ptr<IRecordStore> store_;
};

// The cell's text for the newest record of a logger.
std::string lastUpdateText(const TAttemptRecord& record);

}  // namespace kelvry
