#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "driver/attempt_recorder.h"
#include "records/record_writer.h"

// The records of one bench run in the window: the store named by --records
// (the user's own file by default), opened and checked at Start before any
// logger is touched, and the same recorder and writer the command line
// uses, so that a record from the window reads like one from the command
// line.

namespace kelvry {

class TBenchRecords {
 public:
  // Opens and checks the store; throws TRecordStoreError with one sentence
  // when it cannot be used.
  explicit TBenchRecords(const std::string& location);

  IRunOutput* recorder() { return &recorder_; }

  // Writes what is left, gives a server's queue a short time, and returns
  // one sentence per record that could not be written, and one for what
  // still waits for its server.
  std::vector<std::string> finish();

 private:
  TRecordWriter writer_;
  TAttemptRecorder recorder_;
};

}  // namespace kelvry
