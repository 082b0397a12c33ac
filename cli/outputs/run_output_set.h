#pragma once

#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/outputs/stdout_lines.h"
#include "driver/run_output.h"

// Every output of one run behind one lock, so that ports calling from their
// own threads never mix their lines. Which outputs a run has follows from
// its settings:
// - one port: the report on stdout, the progress line on stderr;
// - several ports: the report with each line behind its port, the live
//   board on stderr, the summary table at the end;
// - --json: JSON lines on stdout in place of the report (the summary, for
//   people, goes to stderr);
// - --log-dir: a report file per port as well;
// - --records: a record per attempt in the records store.

namespace kelvry {
class TReportFiles;
}  // namespace kelvry

namespace kelvry::cli {

struct TRunOutputSettings {
  std::vector<std::string> ports;
  bool json = false;              // JSON lines instead of the report
  bool stderrIsTerminal = false;  // draw the progress line or the board there
  int columns = 80;               // the terminal's width
  std::string logFolder;          // empty: no report files
  // Bench mode: ports arrive during the run (portAdded), the board has the
  // counts above it, and each finished logger is told on stderr.
  bool bench = false;
  bool bell = false;              // bench mode: ring on each finished logger, on a terminal
  int successStatus = 0;          // bench mode: a logger's status when it was done right
  IRunOutput* records = nullptr;  // --records: keeps each attempt in the records store; none: not kept
};

class TRunOutputSet final : public IRunOutput {
public:
  // Makes the report files first: throws std::runtime_error when they cannot
  // be written, before any logger is touched.
  TRunOutputSet(const TRunOutputSettings& settings, std::ostream& out, std::ostream& err);

  void portAdded(size_t port, const std::string& name) override;
  void benchCounts(const TBenchCounts& counts) override;
  void jobRunning(size_t port, bool running) override;
  void event(size_t port, const TPortEvent& event) override;
  void progress(size_t port, int percent) override;
  void status(size_t port, const std::string& text) override;
  void logger(size_t port, const std::string& text) override;
  void beep(size_t port) override;
  void finished(size_t port, const TPortRecord& record) override;
  void summary(const std::vector<TPortRecord>& records) override;

  // False when a report file could not be written whole.
  bool recordsComplete() const;

private:
  template <class Call>
  void toEach(Call call);

  std::mutex mutex_;
  TStdoutLines lines_;
  TStdoutLines errLines_;  // bench mode's notices, around the board as well
  // In the order they are told: what draws in place first, so that it is
  // off the screen before a summary is printed.
  std::vector<std::unique_ptr<IRunOutput>> outputs_;
  IRunOutput* records_ = nullptr;  // the caller's, told after every output of ours
  const TReportFiles* reportFiles_ = nullptr;  // one of outputs_, when there are report files
};

}  // namespace kelvry::cli
