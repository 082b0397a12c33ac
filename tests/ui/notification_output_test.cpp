// Each worker notification, as the window shows it: report line, status
// text, closing message, progress, title and state.

#include "engine/status_codes.h"
#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

const QString kPortText = "/dev/ttyUSB7";
const QString kUnchangedStatus = "status before";

struct TOutputCase {
  const char* name;
  uint32_t code;
  int32_t value;
  int32_t source;       // selectedSource while it is handled
  QString report;       // the new report line; empty: none
  QString status;       // the status text afterwards
  QString message;      // the closing message; empty: none
};

// Names the case in test listings.
void PrintTo(const TOutputCase& c, std::ostream* os) { *os << c.name; }

class NotificationOutput : public TWindowTest, public testing::WithParamInterface<TOutputCase> {};

TEST_P(NotificationOutput, GoesToItsChannels) {
  const TOutputCase& c = GetParam();
  openWindow({}, true);
  frmMain->cbxPort->setEditText(kPortText);
  frmMain->SetStatusText(kUnchangedStatus.toStdString());
  frmMain->selectedSource = c.source;

  frmMain->WMWorkerNotify(c.code, c.value);

  EXPECT_EQ(report(), c.report.isEmpty() ? QStringList{} : QStringList{c.report});
  EXPECT_EQ(frmMain->statusText(), c.status);
  EXPECT_EQ(frmMain->StatusBar1->toolTip(), c.status);
  EXPECT_EQ(dialogs.messages, c.message.isEmpty() ? QStringList{} : QStringList{c.message});
}

const QString kSuccess = "Update Kelvry V2.92 succesfully completed.";

INSTANTIATE_TEST_SUITE_P(
    Codes, NotificationOutput,
    testing::Values(
        TOutputCase{"Progress", ntf::Progress, 45, -1, "Progress 45%", kUnchangedStatus, ""},
        TOutputCase{"Done", ntf::JobDone, 0, 4, kSuccess, kSuccess, kSuccess},
        TOutputCase{"TestDone", ntf::JobDone, 3, 4, "", kUnchangedStatus, ""},
        TOutputCase{"DoneWithoutSource", ntf::JobDone, 0, -1, "Update ? V0.00 succesfully completed.",
                    "Update ? V0.00 succesfully completed.", "Update ? V0.00 succesfully completed."},
        TOutputCase{"Cancelled", ntf::JobFailed, err::Cancelled, -1, "Process cancelled!", "Process cancelled!",
                    "Process cancelled!"},
        TOutputCase{"ConversionErrorMessageOnly", ntf::JobFailed, err::ConversionError, -1, "", kUnchangedStatus,
                    "Aborted because conversion error!"},
        TOutputCase{"ForeignFailure", ntf::JobFailed, 0, -1, "Fatal Exception has occurred!",
                    "Fatal Exception has occurred!", "Fatal Exception has occurred!"},
        TOutputCase{"ReadBackDiffers", ntf::ReadBackDiffers, 7, -1, "Aborted because programming error at line 7 !",
                    "Aborted because programming error at line 7 !", ""},
        TOutputCase{"LineNotRecord", ntf::LineNotRecord, 5, -1, "Aborted because conversion error at line  5 !",
                    kUnchangedStatus, ""},
        TOutputCase{"ClassWord", ntf::ClassWord, 51202, -1, "Class 51202 [BL3]", kUnchangedStatus, ""},
        TOutputCase{"VersionWord", ntf::VersionWord, 0x0102, -1, "Version 1.2", kUnchangedStatus, ""},
        TOutputCase{"UnknownUpdateClass", ntf::UpdateClass, 26125, -1, "Update class 26125 [?]", kUnchangedStatus,
                    ""},
        TOutputCase{"SourceSelected", ntf::SourceSelected, 0, 4, "Update Kelvry V2.92, A10i BLE UART, BL3.0",
                    "Update Kelvry V2.92, A10i BLE UART, BL3.0", ""},
        TOutputCase{"CheckingSource", ntf::CheckingSource, 2, -1, "Check Kelvry V2.92, A10e BLE UART, BL3.0",
                    kUnchangedStatus, ""},
        TOutputCase{"UpdateInfo", ntf::UpdateInfo, 65534, -1, "Update Info FFFE", kUnchangedStatus, ""},
        TOutputCase{"VectorTableSaved", ntf::VectorTable, 0, -1, "Vector table is saved.", kUnchangedStatus, ""},
        TOutputCase{"VectorTableOther", ntf::VectorTable, 2, -1, "", kUnchangedStatus, ""},
        TOutputCase{"UnknownCode", 99, 1, -1, "", kUnchangedStatus, ""}),
    [](const testing::TestParamInfo<TOutputCase>& param) { return std::string(param.param.name); });

class NotificationEffects : public TWindowTest {};

TEST_F(NotificationEffects, ProgressMovesTheBarAndTheTitle) {
  openWindow();
  frmMain->WMWorkerNotify(ntf::Progress, 45);
  EXPECT_EQ(frmMain->ProgressBar1->value(), 45);
  EXPECT_EQ(frmMain->windowTitle(), "45%");
  // The desktop appends the application's display name to the title of
  // every window: the report's and the dialogs' captions must stay theirs.
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
}

TEST_F(NotificationEffects, FinalNotificationsEndTheJobAndOnlyFailuresBeep) {
  struct TFinal {
    uint32_t code;
    int32_t value;
    int progressAfter;
    int beeps;
  };
  for (const TFinal& f : {TFinal{ntf::JobDone, 0, 100, 0}, TFinal{ntf::JobDone, 3, 100, 0},
                          TFinal{ntf::JobFailed, err::NoMatchingSource, 37, 1}}) {
    openWindow({}, true);
    dialogs.beeps = 0;
    frmMain->SetProgressPosition(37);
    frmMain->SetApplicationTitle("37%");
    ASSERT_EQ(frmMain->windowTitle(), "37%");
    frmMain->WMWorkerNotify(f.code, f.value);
    EXPECT_TRUE(looksIdle()) << f.code << "/" << f.value;
    EXPECT_EQ(frmMain->ProgressBar1->value(), f.progressAfter) << f.code << "/" << f.value;
    EXPECT_EQ(dialogs.beeps, f.beeps) << f.code << "/" << f.value;
    EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");
  }
}

TEST_F(NotificationEffects, ArriveThroughTheSinkInPostingOrder) {
  openWindow();
  // Posted from another thread, as a worker does.
  std::thread worker([&] {
    for (int32_t percent = 1; percent <= 50; ++percent) frmMain->notificationSink().post(ntf::Progress, percent);
  });
  worker.join();
  EXPECT_TRUE(report().isEmpty()) << "handled only by the window's own event loop";
  ASSERT_TRUE(waitUntil([&] { return report().size() == 50; }));
  for (int percent = 1; percent <= 50; ++percent) EXPECT_EQ(report()[percent - 1], QString("Progress %1%").arg(percent));
}

}  // namespace
}  // namespace kelvry::test
