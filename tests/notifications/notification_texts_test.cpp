// What each single notification shows: one table row per notification code
// and value, one row per closing text of a failed job.

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "firmware/firmware_sources.h"
#include "firmware/identity_names.h"
#include "frontend/text_format.h"
#include "tests/notifications/recording_job_view.h"
#include "frontend/job_notifications.h"
#include "frontend/port_open_advice.h"
#include "serial/port_name.h"

namespace kelvry {
namespace {

using Calls = std::vector<std::string>;

struct TNotifyCase {
  uint32_t code;
  int32_t value;
  Calls expected;
};

std::ostream& operator<<(std::ostream& out, const TNotifyCase& c) {
  return out << "notification " << c.code << " value " << c.value;
}

Calls toAllThree(const std::string& text) {
  return {"report: " + text, "status: " + text, "message: " + text};
}

Calls toReportAndStatus(const std::string& text) { return {"report: " + text, "status: " + text}; }

Calls failedJob(const Calls& texts) {
  Calls calls{"end job", "beep"};
  calls.insert(calls.end(), texts.begin(), texts.end());
  return calls;
}

// The handler reads the job's selected source for codes 0 and 26; every
// test starts from image 4.
class NotificationTest : public ::testing::Test {
protected:
  Calls handle(uint32_t code, int32_t value) {
    view.calls.clear();
    WMWorkerNotify(view, code, value);
    return view.calls;
  }

  test::TRecordingJobView view;
};

class NotificationTable : public NotificationTest, public ::testing::WithParamInterface<TNotifyCase> {};

TEST_P(NotificationTable, ShowsTheTextsOfTheNotification) {
  const TNotifyCase& c = GetParam();
  EXPECT_EQ(handle(c.code, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCode, NotificationTable,
    ::testing::Values(
        TNotifyCase{0, 0,
                    {"progress: 100", "end job", "report: Update Kelvry V2.92 succesfully completed.",
                     "status: Update Kelvry V2.92 succesfully completed.",
                     "message: Update Kelvry V2.92 succesfully completed."}},
        // A test job ends without announcing an update; only the low byte counts.
        TNotifyCase{0, 3, {"progress: 100", "end job"}},
        TNotifyCase{0, 0x0103, {"progress: 100", "end job"}},
        TNotifyCase{1, 45, {"report: Progress 45%", "progress: 45", "title: 45%"}},
        TNotifyCase{1, 99, {"report: Progress 99%", "progress: 99", "title: 99%"}},
        TNotifyCase{11, 327, toReportAndStatus("Aborted because programming error at line 327 !")},
        TNotifyCase{12, 5, {"report: Aborted because conversion error at line  5 !"}},
        TNotifyCase{13, 0,
                    {"status: Repeat update because communication error!",
                     "report: Repeat update because communication error!", "repeat after comm failure: 0"}},
        TNotifyCase{13, 3,
                    {"status: Repeat update because communication error!",
                     "report: Repeat update because communication error!", "repeat after comm failure: 3"}},
        TNotifyCase{20, 51202, {"report: Class 51202 [BL3]"}},
        TNotifyCase{20, 26125, {"report: Class 26125 [?]"}},
        TNotifyCase{21, 0x0102, {"report: Version 1.2"}},
        TNotifyCase{21, 0x025C, {"report: Version 2.92"}},
        TNotifyCase{22, 15, {"report: Platform 15 [F5438 WD]"}},
        TNotifyCase{22, 65534, {"report: Platform 65534 [F1611 C-SP]"}},
        TNotifyCase{22, 65535, {"report: Platform 65535 [?]"}},
        TNotifyCase{23, 56, {"report: Print 56 [A10i BLE UART]"}},
        TNotifyCase{23, 65535, {"report: Print 65535 [?]"}},
        TNotifyCase{24, 0, {"report: Info 0"}},
        TNotifyCase{24, 513, {"report: Info 513"}},
        TNotifyCase{25, 26155, {"report: Update class 26155 [WLAN Production]"}},
        TNotifyCase{25, 65535, {"report: Update class 65535 [?]"}},
        TNotifyCase{26, 0, toReportAndStatus("Update Kelvry V2.92, A10i BLE UART, BL3.0")},
        TNotifyCase{27, 4, {"report: Check Kelvry V2.92, A10i BLE UART, BL3.0"}},
        TNotifyCase{27, 2, {"report: Check Kelvry V2.92, A10e BLE UART, BL3.0"}},
        TNotifyCase{28, 65534, {"report: Update Info FFFE"}},
        TNotifyCase{28, 65535, {"report: Update Info FFFF"}},
        TNotifyCase{28, 0x1C, {"report: Update Info 001C"}},
        TNotifyCase{40, 0, {"report: Vector table is saved."}},
        TNotifyCase{40, 1, {"report: Vector table is programmed."}},
        TNotifyCase{40, 2, {}},
        // Codes the worker never posts are ignored.
        TNotifyCase{2, 0, {}}, TNotifyCase{14, 1, {}}, TNotifyCase{29, 1, {}}, TNotifyCase{41, 1, {}},
        TNotifyCase{0x0400, 0, {}}));

INSTANTIATE_TEST_SUITE_P(
    EveryErrorCode, NotificationTable,
    ::testing::Values(
        TNotifyCase{10, 10,
                    failedJob({"port failure: Aborted because serial port \"COM7\" is not ready! | Serial port \"" +
                               portDevicePath("COM7") + "\" could not be opened; it may have been busy or unplugged for a moment. "
                               "Try again."})},
        TNotifyCase{10, 11, failedJob(toAllThree("Aborted because error when reading/writing to serial port!"))},
        TNotifyCase{10, 20, failedJob(toAllThree("Process cancelled!"))},
        TNotifyCase{10, 21,
                    failedJob(toAllThree("The logger was restarted with the new firmware; the final check was "
                                         "skipped because the process was cancelled."))},
        TNotifyCase{10, 40, failedJob(toAllThree("Aborted because no update is available for this logger!"))},
        TNotifyCase{10, 41, failedJob(toAllThree("Aborted because the logger is not ready!"))},
        TNotifyCase{10, 42, failedJob(toAllThree("Aborted because last line is wrong !"))},
        TNotifyCase{10, 43, failedJob({"message: Aborted because conversion error!"})},
        TNotifyCase{10, 44,
                    failedJob({"report: Repeat because programming error!", "status: Repeat because programming error!",
                               "repeat after programming error"})},
        TNotifyCase{10, 45, failedJob(toAllThree("Update was not successfull!"))},
        TNotifyCase{10, 46, failedJob(toAllThree("Aborted because the logger transmitted an invalid answer!"))},
        TNotifyCase{10, 47,
                    failedJob(toAllThree("There is no update available or the logger has another update ID!"))},
        TNotifyCase{10, 70, failedJob(toAllThree("Only read update info!"))},
        // Codes without a text of their own, the foreign-failure 0 included.
        TNotifyCase{10, 0, failedJob(toAllThree("Fatal Exception has occurred!"))},
        TNotifyCase{10, 30, failedJob(toAllThree("Fatal Exception has occurred!"))},
        TNotifyCase{10, 48, failedJob(toAllThree("Fatal Exception has occurred!"))},
        TNotifyCase{10, -1, failedJob(toAllThree("Fatal Exception has occurred!"))}));

TEST_F(NotificationTest, PortErrorNamesThePortTheUserSeesNowAndWhyItFailed) {
  view.portText = "/dev/ttyUSB3";
  view.serialFailure = {"open", EACCES, "Permission denied"};
  const Calls calls = handle(10, 10);
  ASSERT_EQ(calls.size(), 3u);
  // The advice's words for each platform's error codes are the advice's own
  // tests.
  EXPECT_EQ(calls[2], "port failure: Aborted because serial port \"/dev/ttyUSB3\" is not ready! | " +
                          portOpenAdvice("/dev/ttyUSB3", view.serialFailure));
}

TEST_F(NotificationTest, ProgressTitleFollowsTheBarPosition) {
  handle(1, 12);
  EXPECT_EQ(view.ProgressPosition(), 12);
  EXPECT_EQ(view.calls.back(), "title: 12%");
}

TEST_F(NotificationTest, NoSourceSelectedShowsUnknownNames) {
  view.selectedSource = -1;
  EXPECT_EQ(handle(26, 0), toReportAndStatus("Update ? V0.00, ?, BL0.0"));
  EXPECT_EQ(handle(0, 0), (Calls{"progress: 100", "end job", "report: Update ? V0.00 succesfully completed.",
                                 "status: Update ? V0.00 succesfully completed.",
                                 "message: Update ? V0.00 succesfully completed."}));
}

TEST_F(NotificationTest, CheckOfAnUnknownSourceShowsUnknownNames) {
  EXPECT_EQ(handle(27, 7), (Calls{"report: Check ? V0.00, ?, BL0.0"}));
}

TEST_F(NotificationTest, UpdateFileHeaderDescribesTheFileWithPaddedMinorVersion) {
  view.sources = TFirmwareSources(std::make_shared<const TUpdateFile>(
      TUpdateFile{TBl3FileHeader{26135, 3, 5, 15, 39, "01.02.2025 10:00:00", 3, 1}, {}}));
  view.selectedSource = 0;
  EXPECT_EQ(handle(26, 0), toReportAndStatus("Update Kelvry V3.05, A10e BLE UART, BL3.1"));
  EXPECT_EQ(handle(27, 0), (Calls{"report: Check Kelvry V3.05, A10e BLE UART, BL3.1"}));
}

TEST_F(NotificationTest, GenericFamilyNameForTheOlderImage) {
  std::string generic;
  getClassName(26135, 0xFFFF, generic);
  ASSERT_NE(generic, "?");
  std::string print19;
  getPrintName(19, print19);
  EXPECT_EQ(handle(27, 1), (Calls{"report: Check " + generic + " V1.88, " + print19 + ", BL3.0"}));
  EXPECT_EQ(handle(20, 26135), (Calls{"report: Class 26135 [" + generic + "]"}));
}

TEST_F(NotificationTest, NameLookupsUseTheLowSixteenBitsOnly) {
  EXPECT_EQ(handle(22, 0x1000F), (Calls{"report: Platform 65551 [F5438 WD]"}));
}

TEST_F(NotificationTest, SerialFailureReportsWhatFailedAndWhyBeforeTheDesignText) {
  view.serialFailure = {"read", EIO, "Input/output error"};
  EXPECT_EQ(handle(10, 11), failedJob({"report: Serial port read failed: Input/output error",
                                       "report: Aborted because error when reading/writing to serial port!",
                                       "status: Aborted because error when reading/writing to serial port!",
                                       "message: Aborted because error when reading/writing to serial port!"}));
  view.serialFailure = {};
  EXPECT_EQ(handle(10, 11), failedJob(toAllThree("Aborted because error when reading/writing to serial port!")));
}

TEST(NotificationFormat, FormatsLikePrintf) {
  EXPECT_EQ(format("V%d.%.2d", 2, 5), "V2.05");
  EXPECT_EQ(format("%d%%", 45), "45%");
  EXPECT_EQ(format("%s", ""), "");
  const std::string longText(5000, 'x');
  EXPECT_EQ(format("[%s]", longText.c_str()), "[" + longText + "]");
}

TEST(NotificationFormat, StartLineQuotesThePort) {
  EXPECT_EQ(startLine("COM5"), "Start at serial port \"COM5\"");
  EXPECT_EQ(startLine(""), "Start at serial port \"\"");
}

}  // namespace
}  // namespace kelvry
