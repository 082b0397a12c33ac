#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "driver/bench_run.h"
#include "driver/new_file.h"

// The one record of a bench run, for the case of loggers that went through
// it: when it ran, with which program, which images were installed (with
// their SHA-256, so that a logger can be traced to the exact image), and
// for each logger its port, USB identity, firmware before and after,
// result, duration and repeats.

namespace kelvry {

struct TCaseImage {
  std::string name;    // "Kelvry V2.92 A10i BLE UART"
  std::string sha256;  // of its Intel HEX records, see image_digest.h
};

// The images the loggers were given, each once, in the order first given.
std::vector<TCaseImage> installedImages(const std::vector<TBenchLogger>& loggers);

struct TCaseReport {
  std::chrono::system_clock::time_point started{};
  std::chrono::system_clock::time_point ended{};
  bool cancelled = false;  // stopped by Ctrl-C or a signal
  std::string tool;        // "kelvry-update-cli 1.4.0"
  std::vector<TCaseImage> images;
  std::vector<TBenchLogger> loggers;
  int success = 0;  // a logger's status when it was done right
};

std::string caseReportText(const TCaseReport& report);

// "case_20261210T140509Z.txt" in the bench's --log-dir, made new when the
// bench starts, so that a folder that cannot be written stops it before
// any logger is touched, and written when it ends.
class TCaseReportFile {
public:
  // Throws std::runtime_error, with the reason, when it cannot be made.
  TCaseReportFile(const std::filesystem::path& folder, std::chrono::system_clock::time_point start);
  // Empty when all was written, else why not.
  std::string write(const std::string& text);
  const std::filesystem::path& path() const { return path_; }

private:
  std::filesystem::path path_;
  TFilePtr file_;
  std::string head_;  // written when the file was made
};

}  // namespace kelvry
