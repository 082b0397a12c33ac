#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <string>

#include "driver/run_output.h"
#include "records/attempt_record.h"
#include "records/record_writer.h"

// The run output that keeps every attempt in the records store: it follows
// each port's events (the logger's identity as first read, the report
// lines, the job's start) and, when the port's job ends (done, failed or
// cancelled alike), builds the record from them and the port's TPortRecord
// and hands it to the writer, which writes it on its own thread.

namespace kelvry {

// What every record of a run shares.
struct TRecordContext {
  std::string station;
  std::string operatorName;
  std::string programVersion;
  std::string updateFile;  // the update file the images come from; empty: the built-in images
};

class TAttemptRecorder final : public IRunOutput {
 public:
  TAttemptRecorder(TRecordContext context, TRecordWriter& writer);

  void portAdded(size_t port, const std::string& name) override;
  void jobRunning(size_t port, bool running) override;
  void event(size_t port, const TPortEvent& event) override;
  void finished(size_t port, const TPortRecord& record) override;

 private:
  struct TPortAttempt {
    std::string name;
    std::optional<TUtcTime> started;
    TLoggerBefore before;
    std::vector<std::string> report;
  };

  TRecordContext context_;
  TRecordWriter& writer_;
  std::mutex mutex_;
  std::map<size_t, TPortAttempt> ports_;
};

// "Kelvry Series V2.88" as class "Kelvry Series" and version "V2.88".
std::pair<std::string, std::string> splitLoggerText(const std::string& text);

}  // namespace kelvry
