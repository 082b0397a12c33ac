#include "frontend/report_line.h"

#include <gtest/gtest.h>

#include <regex>

namespace kelvry {
namespace {

TEST(ReportLine, StampsHoursMinutesAndSecondsWithDashes) {
  EXPECT_EQ(stampedReportLine(9, 5, 3, "Progress 1%"), "09-05-03 -> Progress 1%");
  EXPECT_EQ(stampedReportLine(23, 59, 59, ""), "23-59-59 -> ");
  EXPECT_TRUE(std::regex_match(stampedReportLine("now"), std::regex(R"(\d\d-\d\d-\d\d -> now)")));
}

}  // namespace
}  // namespace kelvry
