#include "cli/report_log_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "cli/utc_stamp.h"
#include "cli/utf8_path.h"
#include "frontend/job_notifications.h"

namespace kelvry::cli {

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

std::string durationText(std::chrono::steady_clock::duration duration) {
  const auto seconds = std::chrono::round<std::chrono::seconds>(duration).count();
  return format("%lld:%.2lld", static_cast<long long>(seconds / 60), static_cast<long long>(seconds % 60));
}

TReportLogFile::TReportLogFile(const std::filesystem::path& folder, const std::string& port,
                               std::chrono::system_clock::time_point start) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::runtime_error("cannot create folder \"" + utf8Text(folder) + "\": " + error.message());
  const std::string name = reportFileName(port, start);
  const std::string stem = name.substr(0, name.size() - std::string(".log").size());
  constexpr int kMaxNames = 1000;
  for (int n = 1; n <= kMaxNames && !file_; ++n) {
    path_ = folder / utf8Path(n == 1 ? name : stem + "_" + std::to_string(n) + ".log");
    file_ = createNewFile(path_);
    if (!file_ && errno != EEXIST)
      throw std::runtime_error("cannot write \"" + utf8Text(path_) + "\": " + std::strerror(errno));
  }
  if (!file_) throw std::runtime_error("cannot write \"" + utf8Text(path_) + "\": every name is taken");
  put("Port: " + port + "\n");
}

void TReportLogFile::put(const std::string& text) {
  std::fputs(text.c_str(), file_.get());
  std::fflush(file_.get());
}

void TReportLogFile::write(const TPortEvent& event) {
  std::string text;
  for (const auto& line : event.report) text += line.first + '\n';
  for (const std::string& message : event.messages) text += message + '\n';
  put(text);
}

void TReportLogFile::writeResult(const TPortRecord& record) {
  const auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
  put("Result: " + std::to_string(record.exitStatus) + ' ' + record.resultText + '\n' +
      "Logger before: " + orDash(record.loggerBefore) + '\n' + "Logger after: " + orDash(record.loggerAfter) + '\n' +
      "Firmware installed: " + orDash(record.image) + '\n' + "Repeats: " + std::to_string(record.repeats) + '\n' +
      "Duration: " + durationText(record.duration) + '\n');
}

TReportFiles::TReportFiles(const std::filesystem::path& folder, const std::vector<std::string>& ports,
                           std::chrono::system_clock::time_point start) {
  for (const std::string& port : ports) files_.push_back(std::make_unique<TReportLogFile>(folder, port, start));
}

void TReportFiles::event(size_t port, const TPortEvent& event) {
  if (!event.empty()) files_[port]->write(event);
}

void TReportFiles::finished(size_t port, const TPortRecord& record) { files_[port]->writeResult(record); }

}  // namespace kelvry::cli
