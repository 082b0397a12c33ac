// Whole notification streams as a worker posts them: the report a user reads
// and the moments the front end ends or repeats a job.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "tests/notifications/recording_job_view.h"
#include "frontend/job_notifications.h"

namespace kelvry {
namespace {

using Stream = std::vector<std::pair<uint32_t, int32_t>>;
using Lines = std::vector<std::string>;

class NotificationFlow : public ::testing::Test {
protected:
  void play(const Stream& stream) {
    for (const auto& [code, value] : stream) WMWorkerNotify(view, code, value);
  }

  test::TRecordingJobView view;
};

TEST_F(NotificationFlow, SuccessfulUpdateReadsInJobOrder) {
  // The job writes the selection before it posts 26 and 0.
  view.selectedSource = 4;
  play({{ntf::ClassWord, 0xC802}, {ntf::VersionWord, 0x0300}, {ntf::Platform, 15}, {ntf::Print, 56},
        {ntf::InfoWord, 0}, {ntf::UpdateClass, 26135}, {ntf::UpdateInfo, 0xFFFE}, {ntf::Platform, 0xFFFF},
        {ntf::Print, 0xFFFF}, {ntf::CheckingSource, 1}, {ntf::CheckingSource, 2}, {ntf::CheckingSource, 3},
        {ntf::CheckingSource, 4}, {ntf::SourceSelected, 0}, {ntf::Progress, 1}, {ntf::VectorTable, 0},
        {ntf::Progress, 98}, {ntf::VectorTable, 1}, {ntf::Progress, 99}, {ntf::JobDone, 0}});

  const Lines report = view.reportLines();
  ASSERT_EQ(report.size(), 20u);
  EXPECT_EQ(report.front(), "Class 51202 [BL3]");
  EXPECT_EQ(report[1], "Version 3.0");
  EXPECT_EQ(report[13], "Update Kelvry V2.92, A10i BLE UART, BL3.0");
  EXPECT_EQ(report[15], "Vector table is saved.");
  EXPECT_EQ(report[17], "Vector table is programmed.");
  EXPECT_EQ(report.back(), "Update Kelvry V2.92 succesfully completed.");
  EXPECT_EQ(view.calls.back(), "message: Update Kelvry V2.92 succesfully completed.");
  EXPECT_EQ(view.ProgressPosition(), 100);
}

TEST_F(NotificationFlow, ConversionErrorKeepsTheLineInTheReportAndShowsTheMessageOnly) {
  play({{ntf::LineNotRecord, 12}, {ntf::JobFailed, err::ConversionError}});
  EXPECT_EQ(view.reportLines(), (Lines{"Aborted because conversion error at line  12 !"}));
  EXPECT_EQ(view.calls.back(), "message: Aborted because conversion error!");
}

TEST_F(NotificationFlow, ReadBackErrorEndsTheJobThenRepeatsAtOnce) {
  play({{ntf::ReadBackDiffers, 7}, {ntf::JobFailed, err::ProgrammingError}});
  EXPECT_EQ(view.calls, (Lines{"report: Aborted because programming error at line 7 !",
                               "status: Aborted because programming error at line 7 !", "end job", "beep",
                               "report: Repeat because programming error!",
                               "status: Repeat because programming error!", "repeat after programming error"}));
}

TEST_F(NotificationFlow, CommunicationFailureRepeatsWithoutEndingTheJob) {
  play({{ntf::ClassWord, 0x6617}, {ntf::CommFailure, ordinal(TCmd::tCMD_TEST)}});
  for (const auto& call : view.calls) EXPECT_NE(call, "end job");
  EXPECT_EQ(view.calls.back(), "repeat after comm failure: 3");
}

TEST_F(NotificationFlow, EveryFinalNotificationEndsTheJobExactlyOnce) {
  for (const auto& [code, value] : Stream{{ntf::JobDone, 0}, {ntf::JobDone, 3}, {ntf::JobFailed, 10},
                                          {ntf::JobFailed, 43}, {ntf::JobFailed, 44}, {ntf::JobFailed, 0}}) {
    view.calls.clear();
    WMWorkerNotify(view, code, value);
    EXPECT_EQ(std::count(view.calls.begin(), view.calls.end(), "end job"), 1) << code << " " << value;
  }
}

}  // namespace
}  // namespace kelvry
