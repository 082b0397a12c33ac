// What the port box holds before a job starts: a pasted name with spaces or
// a line break around it is the port it names, and an empty box is told
// before the window asks anything or opens the file dialog.

#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

struct TTypedCase {
  const char* name;
  QString typed;
};

class PastedPortName : public TMemoryLoggerWindowTest, public testing::WithParamInterface<TTypedCase> {};

TEST_P(PastedPortName, JobUsesTheNameWithoutWhatCameAlong) {
  useLogger(sim::TLoggerConfig{});
  frmMain->chkReadInfoOnly->setChecked(true);
  frmMain->cbxPort->setEditText(GetParam().typed);
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  EXPECT_EQ(frmMain->session().request().sPort, "/dev/pts/2");
  EXPECT_EQ(report().value(0), "Start at serial port \"/dev/pts/2\"");
  EXPECT_EQ(frmMain->cbxPort->currentText(), "/dev/pts/2") << "the box shows the name the job used";
}

INSTANTIATE_TEST_SUITE_P(Cases, PastedPortName,
                         testing::Values(TTypedCase{"SpacesAround", "  /dev/pts/2  "},
                                         TTypedCase{"TrailingSpace", "/dev/pts/2 "},
                                         TTypedCase{"TabAndLineBreak", "\t/dev/pts/2\r\n"}),
                         [](const testing::TestParamInfo<TTypedCase>& param) { return param.param.name; });

const QString kNoPort = "No serial port was chosen: pick the logger's port in the list.";

struct TEmptyBoxCase {
  const char* name;
  QString typed;
  void (TfrmMain::*action)();
};

class EmptyPortBox : public TWindowTest, public testing::WithParamInterface<TEmptyBoxCase> {};

TEST_P(EmptyPortBox, IsToldBeforeAnyQuestion) {
  // Not internal mode: Update asks about the measurements first.
  openWindow();
  frmMain->cbxPort->setEditText(GetParam().typed);
  dialogs.answer = true;
  dialogs.files.push_back("/tmp/any.upd");

  (frmMain.get()->*GetParam().action)();

  EXPECT_TRUE(dialogs.questions.isEmpty()) << dialogs.questions.join("\n").toStdString();
  EXPECT_EQ(dialogs.files.size(), 1u) << "the file dialog stayed closed";
  EXPECT_EQ(dialogs.messages, QStringList{kNoPort});
  EXPECT_EQ(frmMain->statusText(), kNoPort);
  EXPECT_FALSE(frmMain->isJobRunning());
  EXPECT_EQ(frmMain->focusWidget(), frmMain->cbxPort);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EmptyPortBox,
    testing::Values(TEmptyBoxCase{"UpdateWithEmptyBox", "", &TfrmMain::btnProgClick},
                    TEmptyBoxCase{"UpdateWithSpacesOnly", "   ", &TfrmMain::btnProgClick},
                    TEmptyBoxCase{"FileWithEmptyBox", "", &TfrmMain::btnFileClick},
                    TEmptyBoxCase{"TestWithEmptyBox", "", &TfrmMain::menTest1Click}),
    [](const testing::TestParamInfo<TEmptyBoxCase>& param) { return param.param.name; });

}  // namespace
}  // namespace kelvry::test
