#pragma once

#include <memory>

#include "cli/cli_options.h"
#include "cli/console/streams.h"
#include "driver/attempt_recorder.h"
#include "records/record_store.h"
#include "records/record_writer.h"

// --records for an update: the store opened and checked before any logger
// is touched, the recorder the run's outputs tell, and at the end what
// could not be written or still waits for its server.

namespace kelvry::cli {

class TRecordsSession {
 public:
  // The store of options.records; null, with the reason on stderr, when it
  // cannot be used.
  static std::unique_ptr<TRecordsSession> open(const TCliOptions& options, const TStreams& io);

  TRecordsSession(std::unique_ptr<IRecordStore> store, TRecordContext context);

  IRunOutput* recorder() { return &recorder_; }

  // Writes what is left and tells on stderr every record that could not be
  // written and how many wait for their server. The run's status, or
  // kExitRecordsIncomplete when a record is missing.
  int finish(int runStatus, const TStreams& io);

 private:
  TRecordWriter writer_;
  TAttemptRecorder recorder_;
};

}  // namespace kelvry::cli
