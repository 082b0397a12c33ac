#include "cli/report_log_file.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "cli/utc_stamp.h"
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
                               std::chrono::system_clock::time_point start)
    : path_(folder / reportFileName(port, start)) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw std::runtime_error("cannot create folder \"" + folder.string() + "\": " + error.message());
  file_.open(path_, std::ios::out | std::ios::trunc);
  if (!file_) throw std::runtime_error("cannot write \"" + path_.string() + "\": " + std::strerror(errno));
  file_ << "Port: " << port << '\n' << std::flush;
}

void TReportLogFile::write(const TPortEvent& event) {
  for (const auto& line : event.report) file_ << line.first << '\n';
  for (const std::string& message : event.messages) file_ << message << '\n';
  file_ << std::flush;
}

void TReportLogFile::writeResult(const TPortRecord& record) {
  const auto orDash = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
  file_ << "Result: " << record.exitStatus << ' ' << record.resultText << '\n'
        << "Logger before: " << orDash(record.loggerBefore) << '\n'
        << "Logger after: " << orDash(record.loggerAfter) << '\n'
        << "Firmware installed: " << orDash(record.image) << '\n'
        << "Repeats: " << record.repeats << '\n'
        << "Duration: " << durationText(record.duration) << '\n'
        << std::flush;
}

}  // namespace kelvry::cli
