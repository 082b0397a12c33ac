#pragma once

#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "driver/new_file.h"
#include "driver/port_event.h"
#include "driver/port_record.h"
#include "driver/run_output.h"

// One port's report on disk, for production records: the file is named
// after the run's start (UTC) and the port, holds every report line and
// closing message as the terminal shows them, and ends with the result.
// Lines are written as they come, so a run that dies midway leaves its
// report up to that point. A record that could not be written whole (a full
// disk, a file size limit) is never passed over in silence: the run says so
// on stderr and in its exit status.

namespace kelvry {

// "20261210T140509Z_ttyUSB0.log": the port without "/dev/", and characters a
// file name cannot hold replaced by '-'.
std::string reportFileName(const std::string& port, std::chrono::system_clock::time_point start);

class TReportLogFile {
public:
  // Creates `folder` when it is missing, and the file anew: where the name is
  // taken (another port whose name cleans up alike, a run started in the same
  // second, anything planted there), "_2", "_3", ... is added before ".log".
  // Throws std::runtime_error, with the reason, when no file can be made or
  // its first line cannot be written.
  TReportLogFile(const std::filesystem::path& folder, const std::string& port,
                 std::chrono::system_clock::time_point start);
  // The report of `port` into a file already open as `path`.
  TReportLogFile(TFilePtr file, std::filesystem::path path, const std::string& port);

  void write(const TPortEvent& event);
  void writeResult(const TPortRecord& record);
  // Ends the record; what is still buffered is written now.
  void close();
  const std::filesystem::path& path() const { return path_; }
  // Why the record is incomplete (the first write, flush or close that
  // failed, e.g. "No space left on device"); empty while all is written.
  const std::string& failure() const { return failure_; }

private:
  void put(const std::string& text);
  void failed();

  std::filesystem::path path_;
  TFilePtr file_;
  std::string failure_;
};

// A report file for every port of a run, all named after the run's start.
class TReportFiles final : public IRunOutput {
public:
  // Makes every file before any logger is touched, so that a folder that
  // cannot be written stops the run first: throws std::runtime_error.
  // A record that could not be written whole is told on `err` once the run
  // is over, one line per file.
  TReportFiles(const std::filesystem::path& folder, const std::vector<std::string>& ports,
               std::chrono::system_clock::time_point start, std::ostream& err);
  // The same for files already made (tests give ones that cannot be written).
  TReportFiles(std::vector<std::unique_ptr<TReportLogFile>> files, std::ostream& err);

  // A logger plugged in during a bench run gets its file when it appears;
  // one that cannot be made leaves the records incomplete (the logger is
  // updated all the same: its result is in the summary).
  void portAdded(size_t port, const std::string& name) override;
  void event(size_t port, const TPortEvent& event) override;
  void finished(size_t port, const TPortRecord& record) override;
  void summary(const std::vector<TPortRecord>& records) override;

  // Whether every file holds its whole record.
  bool complete() const;

private:
  std::vector<std::unique_ptr<TReportLogFile>> files_;  // null: could not be made
  std::vector<std::string> unmade_;  // why each missing file could not be made
  std::filesystem::path folder_;
  std::chrono::system_clock::time_point start_{};
  std::ostream& err_;
};


}  // namespace kelvry
