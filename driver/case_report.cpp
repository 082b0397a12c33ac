#include "driver/case_report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "driver/duration_text.h"
#include "driver/record_file.h"
#include "driver/report_log_file.h"
#include "driver/utc_stamp.h"
#include "driver/utf8_path.h"
#include "frontend/text_format.h"

namespace kelvry {

namespace {

std::string loggerBlock(size_t number, const TBenchLogger& logger) {
  const TPortRecord& r = logger.outcome.record;
  return "Logger " + std::to_string(number) + ": " + logger.identity.port + '\n' +
         "  USB: " + orDash(usbIdentitySummary(logger.identity)) + '\n' +
         "  Before: " + orDash(r.loggerBefore) + '\n' +
         "  After: " + orDash(r.loggerAfter) + '\n' +
         "  Installed: " + orDash(r.image) + '\n' +
         "  Result: " + std::to_string(r.exitStatus) + ' ' + r.resultText + '\n' +
         "  Started: " + isoUtcStamp(logger.started) + ", duration " + durationText(r.duration) + ", repeats " +
         std::to_string(r.repeats) + '\n';
}

}  // namespace

std::vector<TCaseImage> installedImages(const std::vector<TBenchLogger>& loggers) {
  std::vector<TCaseImage> images;
  for (const TBenchLogger& logger : loggers) {
    const TPortRecord& r = logger.outcome.record;
    const TCaseImage image{r.image, r.imageSha256};
    if (r.image.empty() || std::ranges::any_of(images, [&](const TCaseImage& i) { return i.sha256 == image.sha256; }))
      continue;
    images.push_back(image);
  }
  return images;
}

namespace {

// The report's first lines, known when the bench starts.
std::string caseReportHead(std::chrono::system_clock::time_point started) {
  return "Case report\nStarted: " + isoUtcStamp(started) + '\n';
}

}  // namespace

std::string caseReportText(const TCaseReport& report) {
  const auto succeeded = std::ranges::count_if(
      report.loggers, [&](const TBenchLogger& l) { return l.outcome.record.exitStatus == report.success; });
  std::string text = caseReportHead(report.started);
  text += "Ended: " + isoUtcStamp(report.ended) + (report.cancelled ? " (stopped)" : "") + '\n';
  text += "Program: " + report.tool + '\n';
  text += "Loggers: " + std::to_string(report.loggers.size()) + ", succeeded " + std::to_string(succeeded) +
          ", failed " + std::to_string(static_cast<long>(report.loggers.size()) - succeeded) + '\n';
  if (report.images.empty()) text += "Image: none installed\n";
  for (const TCaseImage& image : report.images) text += "Image: " + image.name + ", SHA-256 " + image.sha256 + '\n';
  for (size_t i = 0; i < report.loggers.size(); ++i) text += '\n' + loggerBlock(i + 1, report.loggers[i]);
  return text;
}

// The first lines go to disk at once: a disk that is full already stops the
// bench before any logger is touched, not after a case of them.
TCaseReportFile::TCaseReportFile(const std::filesystem::path& folder, std::chrono::system_clock::time_point start)
    : file_(createRecordFile(folder, "case_" + compactUtcStamp(start), ".txt", path_)), head_(caseReportHead(start)) {
  if (std::fputs(head_.c_str(), file_.get()) >= 0 && std::fflush(file_.get()) == 0) return;
  const std::string reason = std::strerror(errno);
  file_.reset();
  std::error_code ignored;
  std::filesystem::remove(path_, ignored);
  throw std::runtime_error("cannot write \"" + utf8Text(path_) + "\": " + reason);
}

std::string TCaseReportFile::write(const std::string& text) {
  const std::string rest = text.starts_with(head_) ? text.substr(head_.size()) : text;
  const bool written = std::fputs(rest.c_str(), file_.get()) >= 0;
  const int writeError = errno;
  // fclose writes what is left and can fail as a write does.
  const bool closed = std::fclose(file_.release()) == 0;
  if (written && closed) return {};
  return std::strerror(written ? errno : writeError);
}

}  // namespace kelvry
