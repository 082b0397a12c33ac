#include "driver/case_report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "driver/duration_text.h"
#include "driver/record_file.h"
#include "driver/report_log_file.h"
#include "driver/utc_stamp.h"
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

std::string caseReportText(const TCaseReport& report) {
  const auto succeeded = std::ranges::count_if(
      report.loggers, [&](const TBenchLogger& l) { return l.outcome.record.exitStatus == report.success; });
  std::string text = "Case report\n";
  text += "Started: " + isoUtcStamp(report.started) + '\n';
  text += "Ended: " + isoUtcStamp(report.ended) + (report.cancelled ? " (stopped)" : "") + '\n';
  text += "Program: " + report.tool + '\n';
  text += "Loggers: " + std::to_string(report.loggers.size()) + ", succeeded " + std::to_string(succeeded) +
          ", failed " + std::to_string(static_cast<long>(report.loggers.size()) - succeeded) + '\n';
  if (report.images.empty()) text += "Image: none installed\n";
  for (const TCaseImage& image : report.images) text += "Image: " + image.name + ", SHA-256 " + image.sha256 + '\n';
  for (size_t i = 0; i < report.loggers.size(); ++i) text += '\n' + loggerBlock(i + 1, report.loggers[i]);
  return text;
}

TCaseReportFile::TCaseReportFile(const std::filesystem::path& folder, std::chrono::system_clock::time_point start)
    : file_(createRecordFile(folder, "case_" + compactUtcStamp(start), ".txt", path_)) {}

std::string TCaseReportFile::write(const std::string& text) {
  const bool written = std::fputs(text.c_str(), file_.get()) >= 0;
  const int writeError = errno;
  // fclose writes what is left and can fail as a write does.
  const bool closed = std::fclose(file_.release()) == 0;
  if (written && closed) return {};
  return std::strerror(written ? errno : writeError);
}

}  // namespace kelvry
