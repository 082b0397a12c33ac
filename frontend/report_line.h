#pragma once

#include <string>

namespace kelvry {

// A report line as both front ends show it: the local time as "hh-nn-ss",
// " -> ", then the text.
std::string stampedReportLine(const std::string& sText);
std::string stampedReportLine(int hour, int minute, int second, const std::string& sText);

}  // namespace kelvry
