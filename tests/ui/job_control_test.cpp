// Starting, cancelling and closing jobs from the window: the questions by
// mode, the busy and idle states, the File button and the close query.

#include <QTemporaryDir>

#include "serial/serial_port.h"
#include "tests/ui/update_file_writer.h"
#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

const QString kSavedQuestion = "Do you save your measurements ?\r\nDo you really continue without saving ?";
const QString kClearsQuestion = "This update clears all measurements!\r\nDo you really continue ?";
const QString kCloseQuestion = "The update is not finished!\r\nDo you really close the program ?";
const QString kNoPort = "/nonexistent/ttyUSB9";

struct TQuestionCase {
  const char* name;
  bool bInternal;
  QStringList options;
  QString question;  // empty: Update asks nothing
};

// Names the case in test listings.
void PrintTo(const TQuestionCase& c, std::ostream* os) { *os << c.name; }

class UpdateQuestion : public TWindowTest, public testing::WithParamInterface<TQuestionCase> {};

TEST_P(UpdateQuestion, AsksByModeAndNoLeavesTheWindowIdle) {
  const TQuestionCase& c = GetParam();
  openWindow(c.options, c.bInternal);
  frmMain->cbxPort->setEditText(kNoPort);
  frmMain->frmProtocol()->Add("previous job");
  dialogs.answer = false;

  frmMain->btnProg->click();

  if (c.question.isEmpty()) {
    EXPECT_TRUE(dialogs.questions.isEmpty());
    EXPECT_EQ(report().value(0), "Start at serial port \"" + kNoPort + "\"");
    ASSERT_TRUE(waitForIdle());
  } else {
    EXPECT_EQ(dialogs.questions, QStringList{c.question});
    EXPECT_EQ(report(), QStringList{"previous job"});
    EXPECT_TRUE(frmMain->port().isEmpty());
    EXPECT_TRUE(looksIdle());
  }
}

INSTANTIATE_TEST_SUITE_P(
    ByMode, UpdateQuestion,
    testing::Values(TQuestionCase{"Normal", false, {}, kSavedQuestion},
                    TQuestionCase{"NormalClearsMeasurements", false, {"mf:+"}, kClearsQuestion},
                    TQuestionCase{"NormalLastMfCountsNot", false, {"mf:-", "mf:+"}, kSavedQuestion},
                    TQuestionCase{"Internal", true, {}, ""},
                    TQuestionCase{"InternalClearsMeasurements", true, {"MF:+"}, kClearsQuestion},
                    TQuestionCase{"InternalWithFiles", true, {"f:+"}, ""},
                    TQuestionCase{"InternalWithFilesClearsMeasurements", true, {"f:+", "mf:+"}, kClearsQuestion}),
    [](const testing::TestParamInfo<TQuestionCase>& param) { return std::string(param.param.name); });

class JobControl : public TWindowTest {};

TEST_F(JobControl, BusyFromStartToTheFinalNotificationAndCancelOnlyAsks) {
  sim::TPtyLogger logger;
  openWindow({"f:+"}, true);
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  ASSERT_TRUE(looksIdle());

  frmMain->btnProg->click();
  EXPECT_TRUE(frmMain->isJobRunning());
  EXPECT_TRUE(looksBusy());
  EXPECT_FALSE(frmMain->btnFile->isEnabled());
  EXPECT_FALSE(frmMain->menInfoFile->isEnabled());
  EXPECT_EQ(frmMain->ProgressBar1->value(), 0);
  EXPECT_EQ(frmMain->port(), QString::fromStdString(logger.portPath()));

  // Nothing starts a second job while the first holds the port.
  frmMain->btnProgClick();
  frmMain->menTest1Click();
  frmMain->btnFileClick();
  EXPECT_EQ(report().size(), 1);

  frmMain->btnCancel->click();
  EXPECT_TRUE(frmMain->session().cancelled());
  EXPECT_TRUE(looksBusy()) << "Cancel asks the worker to stop; the window waits for its word";

  ASSERT_TRUE(waitForIdle());
  EXPECT_TRUE(looksIdle());
  EXPECT_TRUE(frmMain->btnFile->isEnabled());
  EXPECT_TRUE(frmMain->menInfoFile->isEnabled());
  EXPECT_EQ(dialogs.messages, QStringList{"Process cancelled!"});
  EXPECT_EQ(frmMain->statusText(), "Process cancelled!");
  EXPECT_EQ(report().last(), "Process cancelled!");
  EXPECT_EQ(dialogs.beeps, 1);
  EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");
}

TEST_F(JobControl, TypedPortNameIsWhatTheJobUses) {
  ports.addUsbPort("ttyUSB0");
  openWindow({}, true);
  ASSERT_EQ(frmMain->cbxPort->currentText(), QString::fromStdString(ports.devicePath("ttyUSB0")));
  frmMain->cbxPort->setEditText(kNoPort);

  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  EXPECT_EQ(frmMain->port(), kNoPort);
  const QString notReady = "Aborted because serial port \"" + kNoPort + "\" is not ready!";
  const QString why = "Serial port \"" + kNoPort +
                      "\" does not exist: check the cable, and pick the logger's port in the list.";
  EXPECT_EQ(report(), (QStringList{"Start at serial port \"" + kNoPort + "\"", notReady, why}));
  // The closing message says why on its second line.
  EXPECT_EQ(dialogs.messages, QStringList{notReady + "\n" + why});
}

// No job starts that could only fail (more cases: port_box_text_test.cpp).
TEST_F(JobControl, EmptyPortBoxSaysThatNoPortWasChosen) {
  openWindow({}, true);
  frmMain->cbxPort->setEditText("");
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());
  EXPECT_EQ(dialogs.messages, QStringList{"No serial port was chosen: pick the logger's port in the list."});
  EXPECT_TRUE(report().isEmpty()) << report().join("\n").toStdString();
}

TEST_F(JobControl, ReadInfoOnlyBoxSetsTheJobOptionAtEachStart) {
  openWindow({}, true);
  frmMain->cbxPort->setEditText(kNoPort);
  for (const bool bChecked : {true, false}) {
    frmMain->chkReadInfoOnly->setChecked(bChecked);
    frmMain->btnProg->click();
    EXPECT_EQ(frmMain->session().request().bReadInfoOnly, bChecked);
    ASSERT_TRUE(waitForIdle());
  }
}

class FileButton : public TWindowTest {
protected:
  QTemporaryDir folder;
};

TEST_F(FileButton, NeverAsksAndRunsTheChosenFile) {
  const QString file = folder.filePath("Kelvry_V2_92.upd");
  writeUpdateFile(file, TUpdateFileHeader{});
  openWindow({"f:+", "mf:+"}, true);
  frmMain->cbxPort->setEditText(kNoPort);
  dialogs.files = {file};

  frmMain->btnFile->click();
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_EQ(frmMain->selectedSource, 0);
  EXPECT_TRUE(frmMain->isJobRunning());
  ASSERT_TRUE(waitForIdle());
  EXPECT_EQ(report().value(0), "Start at serial port \"" + kNoPort + "\"");
}

TEST_F(FileButton, CancelledDialogStartsNothing) {
  openWindow({"f:+"}, true);
  frmMain->frmProtocol()->Add("kept");
  frmMain->btnFile->click();
  EXPECT_FALSE(frmMain->isJobRunning());
  EXPECT_EQ(report(), QStringList{"kept"});
}

struct TBadFileCase {
  const char* name;
  bool bWriteFile;
  TUpdateFileHeader header;
  QString expectedInError;  // besides the file's name
};

// Names the case in test listings.
void PrintTo(const TBadFileCase& c, std::ostream* os) { *os << c.name; }

class UnusableUpdateFile : public FileButton, public testing::WithParamInterface<TBadFileCase> {};

TEST_P(UnusableUpdateFile, ShowsWhatIsWrongAndStartsNoJob) {
  const TBadFileCase& c = GetParam();
  const QString file = folder.filePath("chosen.upd");
  if (c.bWriteFile) writeUpdateFile(file, c.header);
  openWindow({"f:+"}, true);
  frmMain->cbxPort->setEditText(kNoPort);
  frmMain->frmProtocol()->Add("previous job");
  frmMain->selectedSource = 3;
  dialogs.files = {file};

  frmMain->btnFile->click();

  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("chosen.upd")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.errors[0].contains(c.expectedInError)) << dialogs.errors[0].toStdString();
  EXPECT_FALSE(frmMain->isJobRunning());
  EXPECT_TRUE(looksIdle());
  EXPECT_EQ(frmMain->selectedSource, -1);
  EXPECT_TRUE(report().isEmpty());
  EXPECT_TRUE(frmMain->port().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableUpdateFile,
    testing::Values(TBadFileCase{"Missing", false, {}, ""},
                    TBadFileCase{"ClassNotANumber", true, TUpdateFileHeader{.cls = "26135x"}, "26135x"},
                    TBadFileCase{"PrintWithTrailingBlank", true, TUpdateFileHeader{.print = "56 "}, "print"}),
    [](const testing::TestParamInfo<TBadFileCase>& param) { return std::string(param.param.name); });

class CloseQuery : public TWindowTest {};

TEST_F(CloseQuery, IdleWindowClosesWithoutAQuestion) {
  openWindow();
  frmMain->show();
  EXPECT_TRUE(frmMain->close());
  EXPECT_TRUE(dialogs.questions.isEmpty());
}

TEST_F(CloseQuery, NoKeepsTheWindowAndTheJob) {
  sim::TPtyLogger logger;
  openWindow({}, true);
  frmMain->show();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain->btnProg->click();
  dialogs.answer = false;

  EXPECT_FALSE(frmMain->close());
  EXPECT_EQ(dialogs.questions, QStringList{kCloseQuestion});
  EXPECT_TRUE(frmMain->isVisible());
  EXPECT_TRUE(frmMain->isJobRunning());
  EXPECT_FALSE(frmMain->session().cancelled());

  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

TEST_F(CloseQuery, YesStopsTheWorkerAndReleasesThePortBeforeClosing) {
  sim::TPtyLogger logger;
  openWindow({}, true);
  frmMain->show();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain->btnProg->click();
  // Let the job get into its conversation with the logger.
  ASSERT_TRUE(waitUntil([&] { return logger.stats().identityQueries > 0; }));
  dialogs.answer = true;

  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(frmMain->close());
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));

  EXPECT_EQ(dialogs.questions, QStringList{kCloseQuestion});
  EXPECT_FALSE(frmMain->isVisible());
  EXPECT_FALSE(frmMain->isJobRunning());
  const TPortHandle port = openComPort(logger.portPath(), 9600);
  EXPECT_NE(port, INVALID_PORT_HANDLE) << "the worker still holds the port";
  closeComPort(port);

  // Its final notification is not shown on a closing window.
  runEventLoopFor(std::chrono::milliseconds(100));
  EXPECT_TRUE(dialogs.messages.isEmpty());
  EXPECT_TRUE(dialogs.questions.size() == 1);
}

}  // namespace
}  // namespace kelvry::test
