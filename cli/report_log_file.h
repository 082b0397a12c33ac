#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/new_file.h"
#include "cli/port_event.h"
#include "cli/port_record.h"
#include "cli/run_output.h"

// One port's report on disk, for production records: the file is named
// after the run's start (UTC) and the port, holds every report line and
// closing message as the terminal shows them, and ends with the result.
// Lines are written as they come, so a run that dies midway leaves its
// report up to that point.

namespace kelvry::cli {

// "20261210T140509Z_ttyUSB0.log": the port without "/dev/", and characters a
// file name cannot hold replaced by '-'.
std::string reportFileName(const std::string& port, std::chrono::system_clock::time_point start);

class TReportLogFile {
public:
  // Creates `folder` when it is missing, and the file anew: where the name is
  // taken (another port whose name cleans up alike, a run started in the same
  // second, anything planted there), "_2", "_3", ... is added before ".log".
  // Throws std::runtime_error, with the reason, when no file can be made.
  TReportLogFile(const std::filesystem::path& folder, const std::string& port,
                 std::chrono::system_clock::time_point start);

  void write(const TPortEvent& event);
  void writeResult(const TPortRecord& record);
  const std::filesystem::path& path() const { return path_; }

private:
  void put(const std::string& text);

  std::filesystem::path path_;
  TFilePtr file_;
};

// A report file for every port of a run, all named after the run's start.
class TReportFiles final : public IRunOutput {
public:
  // Makes every file before any logger is touched, so that a folder that
  // cannot be written stops the run first: throws std::runtime_error.
  TReportFiles(const std::filesystem::path& folder, const std::vector<std::string>& ports,
               std::chrono::system_clock::time_point start);

  void event(size_t port, const TPortEvent& event) override;
  void finished(size_t port, const TPortRecord& record) override;

private:
  std::vector<std::unique_ptr<TReportLogFile>> files_;
};

// "m:ss" for the summary and the report file.
std::string durationText(std::chrono::steady_clock::duration duration);

}  // namespace kelvry::cli
