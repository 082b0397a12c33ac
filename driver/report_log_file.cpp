#include "driver/report_log_file.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <system_error>

#include "driver/duration_text.h"
#include "driver/program_name.h"
#include "driver/record_file.h"
#include "driver/utc_stamp.h"
#include "driver/utf8_path.h"
#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry {

namespace {

bool fitsFileName(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

std::string portForFileName(std::string port) {
  const std::string devices = "/dev/";
  if (port.starts_with(devices)) port.erase(0, devices.size());
  for (char& c : port)
    if (!fitsFileName(c)) c = '-';
  return port;
}

}  // namespace

std::string reportFileName(const std::string& port, std::chrono::system_clock::time_point start) {
  return compactUtcStamp(start) + "_" + portForFileName(port) + ".log";
}

TReportLogFile::TReportLogFile(const std::filesystem::path& folder, const std::string& port,
                               std::chrono::system_clock::time_point start) {
  const std::string name = reportFileName(port, start);
  file_ = createRecordFile(folder, name.substr(0, name.size() - std::string(".log").size()), ".log", path_);
  std::error_code error;
  put("Port: " + port + "\n");
  // A disk already full stops the run before any logger is touched, as a
  // folder that cannot be written does; the empty file is ours to remove.
  if (!failure_.empty()) {
    file_.reset();
    std::filesystem::remove(path_, error);
    throw std::runtime_error("cannot write \"" + utf8Text(path_) + "\": " + failure_);
  }
}

TReportLogFile::TReportLogFile(TFilePtr file, std::filesystem::path path, const std::string& port)
    : path_(std::move(path)), file_(std::move(file)) {
  put("Port: " + port + "\n");
}

void TReportLogFile::failed() {
  if (failure_.empty()) failure_ = std::strerror(errno);
}

// After the first failure nothing more is written: a record with a hole in
// its middle would read as whole.
void TReportLogFile::put(const std::string& text) {
  if (!failure_.empty() || !file_) return;
  if (std::fputs(text.c_str(), file_.get()) < 0 || std::fflush(file_.get()) != 0) failed();
}

void TReportLogFile::close() {
  if (!file_) return;
  // fclose writes what is left and can fail as a write does.
  if (std::fclose(file_.release()) != 0) failed();
}

void TReportLogFile::write(const TPortEvent& event) {
  std::string text;
  for (const auto& line : event.report) text += line.first + '\n';
  for (const std::string& message : event.messages) text += message + '\n';
  put(text);
}

void TReportLogFile::writeResult(const TPortRecord& record) {
  put("Result: " + std::to_string(record.exitStatus) + ' ' + record.resultText + '\n' +
      "Logger before: " + orDash(record.loggerBefore) + '\n' + "Logger after: " + orDash(record.loggerAfter) + '\n' +
      "Firmware installed: " + orDash(record.image) + '\n' + "Firmware SHA-256: " + orDash(record.imageSha256) +
      '\n' + "Repeats: " + std::to_string(record.repeats) + '\n' +
      "Duration: " + durationText(record.duration) + '\n');
}

TReportFiles::TReportFiles(const std::filesystem::path& folder, const std::vector<std::string>& ports,
                           std::chrono::system_clock::time_point start, std::ostream& err)
    : folder_(folder), start_(start), err_(err) {
  try {
    for (const std::string& port : ports) files_.push_back(std::make_unique<TReportLogFile>(folder, port, start));
  } catch (const std::runtime_error&) {
    // A run that does not start leaves no records of itself.
    for (const auto& file : files_) {
      const std::filesystem::path path = file->path();
      file->close();
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
    throw;
  }
}

TReportFiles::TReportFiles(std::vector<std::unique_ptr<TReportLogFile>> files, std::ostream& err)
    : files_(std::move(files)), err_(err) {}

void TReportFiles::portAdded(size_t port, const std::string& name) {
  if (files_.size() <= port) files_.resize(port + 1);
  try {
    files_[port] = std::make_unique<TReportLogFile>(folder_, name, start_);
  } catch (const std::runtime_error& e) {
    unmade_.push_back(name + ": " + e.what());
  }
}

void TReportFiles::event(size_t port, const TPortEvent& event) {
  if (!event.empty() && files_[port]) files_[port]->write(event);
}

void TReportFiles::finished(size_t port, const TPortRecord& record) {
  if (!files_[port]) return;
  files_[port]->writeResult(record);
  files_[port]->close();
}

// Told after every port is done, when nothing is drawn in place any more;
// the port's own status goes with it, as a run of one port has no summary.
void TReportFiles::summary(const std::vector<TPortRecord>& records) {
  for (const std::string& unmade : unmade_) err_ << kCliPrefix << "no report file for " << unmade << std::endl;
  for (size_t i = 0; i < files_.size(); ++i) {
    if (!files_[i]) continue;
    const TReportLogFile& file = *files_[i];
    if (file.failure().empty()) continue;
    err_ << kCliPrefix << "report file \"" << utf8Text(file.path()) << "\" is incomplete: " << file.failure();
    if (i < records.size())
      err_ << " (" << records[i].port << ": status " << records[i].exitStatus << ", " << records[i].resultText << ")";
    err_ << std::endl;
  }
}

bool TReportFiles::complete() const {
  return unmade_.empty() &&
         std::ranges::all_of(files_, [](const auto& file) { return !file || file->failure().empty(); });
}

}  // namespace kelvry
