#include "frontend/report_line.h"

#include <chrono>
#include <ctime>

#include "frontend/job_notifications.h"
#include "frontend/local_time.h"
#include "frontend/text_format.h"

namespace kelvry {

std::string stampedReportLine(int hour, int minute, int second, const std::string& sText) {
  return format("%.2d-%.2d-%.2d -> %s", hour, minute, second, sText.c_str());
}

std::string stampedReportLine(const std::string& sText) {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  const std::tm local = localTime(now);
  return stampedReportLine(local.tm_hour, local.tm_min, local.tm_sec, sText);
}

}  // namespace kelvry
