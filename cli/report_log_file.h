#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "cli/new_file.h"
#include "cli/port_event.h"
#include "cli/port_record.h"

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

// "m:ss" for the summary and the report file.
std::string durationText(std::chrono::steady_clock::duration duration);

}  // namespace kelvry::cli
