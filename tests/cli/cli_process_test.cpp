// The real kelvry-update-cli, run as a user or a script runs it: exit
// statuses, what lands on stdout and stderr, and whole updates against the
// virtual logger.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "serial/serial_port.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/qt_printers.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;

const QString kSuccess = "Update Kelvry V2.92 succesfully completed.";
const QRegularExpression kReportLine(R"(^\d\d-\d\d-\d\d -> .+$)");

class CliProcess : public ::testing::Test {
protected:
  // Writes an update file for the same logger as the fourth built-in image,
  // with that image's lines, and returns its path.
  QString writeUpdateFile(const std::string& classValue = "26135") {
    const QString path = files_.filePath("Kelvry_V2_92.upd");
    std::ofstream file(path.toStdString(), std::ios::binary);
    file << "bootloader=3\r\nbootloader version=0\r\nclass=" << classValue
         << "\r\nversionH=2\r\nversionL=93\r\nplatform=15\r\nprint=56\r\ndate=01.02.2025 10:00:00\r\n";
    const TFirmwareSources builtIn;
    const int32_t count = builtIn.getFirmwareLineCount(4);
    for (int32_t i = 0; i <= count; ++i) {
      std::string line;
      builtIn.getFirmwareLine(4, i, line);
      file << line << "\r\n";
    }
    return path;
  }

  static std::vector<QStringList> tableRows(const test::TCliRun& run) {
    std::vector<QStringList> rows;
    for (const QString& line : run.outLines()) rows.push_back(line.split(QRegularExpression(" {2,}")));
    return rows;
  }

  test::TCliProcess cli;
  QTemporaryDir files_;
};

// --- Command line ----------------------------------------------------------

TEST_F(CliProcess, HelpAndVersionSucceedOnStdout) {
  const test::TCliRun help = cli.run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.contains("--port <port>")) << help.out.toStdString();
  EXPECT_TRUE(help.out.contains("Exit status:"));
  EXPECT_TRUE(help.err.isEmpty());

  const test::TCliRun version = cli.run({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(QRegularExpression(R"(^kelvry-update-cli \d+\.\d+\.\d+\n$)").match(version.out).hasMatch())
      << version.out.toStdString();
}

class CliBadInput : public CliProcess, public ::testing::WithParamInterface<QStringList> {};

TEST_P(CliBadInput, ExplainsInOneLineAndExitsWithUsageError) {
  const test::TCliRun run = cli.run(GetParam());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
  ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.startsWith("kelvry-update-cli: ")) << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliBadInput,
    ::testing::Values(QStringList{}, QStringList{"--bogus"}, QStringList{"--port"}, QStringList{"--port", ""},
                      QStringList{"--simulate", "--max-repeats", "x"}, QStringList{"--simulate", "--max-repeats", "-1"},
                      QStringList{"--port", "/dev/ttyUSB0", "--simulate"},
                      QStringList{"--list-ports", "--list-firmware"}, QStringList{"--list-firmware", "--info-only"},
                      QStringList{"--list-firmware", "ttyUSB0"}, QStringList{"--file", "x.upd"},
                      // Internal-mode options without internal mode.
                      QStringList{"--file-info", "x.upd"}, QStringList{"--simulate", "--file", "x.upd"},
                      QStringList{"--simulate", "--info-only"},
                      // Two jobs cannot share a port; records need an update.
                      QStringList{"--port", "/dev/ttyUSB0", "--port", "ttyUSB0", "--yes"},
                      QStringList{"--list-ports", "--json"}, QStringList{"--simulate", "0"}));

// Without --log-dir the report and the summary are the run's only record:
// when stdout cannot take them (a full disk), the run says so and does not
// pass for a success; a status that tells of a failure already stays.
struct TLostOutputCase {
  const char* name;
  const char* what;
  QStringList arguments;
  int exitCode;
};

class CliLostOutput : public ::testing::TestWithParam<TLostOutputCase> {};

TEST_P(CliLostOutput, IsToldAndNeverEndsAsSuccess) {
  const TLostOutputCase& c = GetParam();
  test::TCliProcess cli;
  cli.sendStdoutTo("/dev/full");
  const test::TCliRun run = cli.run(c.arguments, 120s);
  ASSERT_TRUE(run.finished) << c.what;
  EXPECT_EQ(run.exitCode, c.exitCode) << c.what << ": " << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("kelvry-update-cli: standard output could not be written whole"))
      << c.what << ": " << run.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    StdoutFull, CliLostOutput,
    ::testing::Values(TLostOutputCase{"Update", "an update", {"--simulate", "--yes"}, 81},
                      TLostOutputCase{"FirmwareList", "the firmware list", {"--list-firmware"}, 81},
                      TLostOutputCase{"PortNotOpened", "a port that does not open",
                                      {"--port", "/dev/kelvry-no-such-port", "--yes"},
                                      err::PortNotReady}),
    [](const ::testing::TestParamInfo<TLostOutputCase>& caseInfo) { return std::string(caseInfo.param.name); });

TEST_F(CliProcess, UpdateWithoutTerminalOrYesIsRefusedBeforeAnythingStarts) {
  const test::TCliRun run = cli.run({"--port", "/dev/ttyKELVRYNONE"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_TRUE(run.out.isEmpty());
  EXPECT_TRUE(run.err.contains("--yes")) << run.err.toStdString();
}

TEST_F(CliProcess, MeasurementWarningIsAskedInInternalModeToo) {
  cli.enableInternalMode();
  EXPECT_EQ(cli.run({"--port", "/dev/ttyKELVRYNONE", "mf:+"}).exitCode, 2);
  // Without the warning, internal mode asks nothing and the job runs.
  EXPECT_EQ(cli.run({"--port", "/dev/ttyKELVRYNONE"}).exitCode, 10);
}

// --- Listings ----------------------------------------------------------------

TEST_F(CliProcess, FirmwareListShowsTheImagesLastFirst) {
  const test::TCliRun run = cli.run({"--list-firmware"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const std::vector<QStringList> rows = tableRows(run);
  ASSERT_EQ(rows.size(), 5u) << run.out.toStdString();
  EXPECT_EQ(rows[0], (QStringList{"Firmware", "Version", "Platform", "Print", "Date", "BL"}));
  const QStringList prints{"A10i BLE UART", "A10g BLE UART", "A10e BLE UART", "A10"};
  const QStringList versions{"2.92", "2.92", "2.92", "1.88"};
  for (size_t i = 1; i < rows.size(); ++i) {
    ASSERT_EQ(rows[i].size(), 6) << rows[i].join('|').toStdString();
    EXPECT_EQ(rows[i][1], versions[static_cast<qsizetype>(i - 1)]);
    EXPECT_EQ(rows[i][2], "F5438 WD");
    EXPECT_EQ(rows[i][3], prints[static_cast<qsizetype>(i - 1)]);
    EXPECT_EQ(rows[i][5], "3.0");
  }
  EXPECT_EQ(rows[1][0], "Kelvry");
  EXPECT_EQ(rows[1][4], "04.04.2024 15:53:54");
  EXPECT_EQ(rows[4][4], "05.06.2019 14:22:50");
}

TEST_F(CliProcess, FileInfoPutsTheFileFirstInInternalMode) {
  cli.enableInternalMode();
  const test::TCliRun run = cli.run({"--file-info", writeUpdateFile()});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
  const std::vector<QStringList> rows = tableRows(run);
  ASSERT_EQ(rows.size(), 6u) << run.out.toStdString();
  EXPECT_EQ(rows[1], (QStringList{"Kelvry", "2.93", "F5438 WD", "A10i BLE UART", "01.02.2025 10:00:00", "3.0"}));
  EXPECT_EQ(rows[2][4], "04.04.2024 15:53:54");
}

TEST_F(CliProcess, FileInfoOfAnUnreadableFileSaysWhyInOneLine) {
  cli.enableInternalMode();
  const test::TCliRun missing = cli.run({"--file-info", "/nonexistent/kelvry.upd"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_TRUE(missing.out.isEmpty());
  ASSERT_EQ(missing.errLines().size(), 1) << missing.err.toStdString();
  EXPECT_TRUE(missing.err.contains("/nonexistent/kelvry.upd"));

  const test::TCliRun badNumber = cli.run({"--file-info", writeUpdateFile("26x35")});
  EXPECT_EQ(badNumber.exitCode, 2);
  EXPECT_TRUE(badNumber.err.contains("26x35")) << badNumber.err.toStdString();
}

// --- Updates -----------------------------------------------------------------

TEST_F(CliProcess, MissingPortEndsWithTheErrorAndTheReason) {
  const test::TCliRun run = cli.run({"--port", "/dev/ttyKELVRYNONE", "--yes"});
  EXPECT_EQ(run.exitCode, 10);
  EXPECT_EQ(run.outLines(), (QStringList{run.outLines().value(0), "Aborted because serial port \"/dev/ttyKELVRYNONE\" is not ready!"}));
  EXPECT_TRUE(run.outLines().value(0).endsWith("-> Start at serial port \"/dev/ttyKELVRYNONE\""));
  ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("does not exist")) << run.err.toStdString();
}

TEST_F(CliProcess, SimulatedUpdateSucceedsWithTheClosingTextLast) {
  const test::TCliRun run = cli.run({"--simulate"});
  ASSERT_EQ(run.exitCode, 0) << run.err.toStdString() << run.out.toStdString();
  const QStringList lines = run.outLines();
  EXPECT_EQ(run.lastOutLine(), kSuccess);
  EXPECT_TRUE(QRegularExpression(R"(-> Start at serial port "/dev/pts/\d+"$)").match(lines.first()).hasMatch())
      << lines.first().toStdString();
  for (qsizetype i = 0; i + 1 < lines.size(); ++i)
    EXPECT_TRUE(kReportLine.match(lines[i]).hasMatch()) << lines[i].toStdString();
  // The closing text is shown once, not also as a report line.
  EXPECT_EQ(run.out.count(kSuccess), 1);
  EXPECT_TRUE(run.out.contains("-> Update Kelvry V2.92, A10i BLE UART, BL3.0\n"));
  // No progress bar when stderr is not a terminal.
  EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
}

TEST_F(CliProcess, TraceShowsEachNotificationBeforeItsText) {
  const test::TCliRun run = cli.run({"--simulate", "--trace"});
  ASSERT_EQ(run.exitCode, 0);
  const QStringList lines = run.outLines();
  const qsizetype selected = lines.indexOf("notify 26 0");
  ASSERT_GE(selected, 0);
  EXPECT_TRUE(lines.value(selected + 1).endsWith("-> Update Kelvry V2.92, A10i BLE UART, BL3.0"));
  EXPECT_EQ(lines.value(lines.size() - 2), "notify 0 0");
  EXPECT_EQ(run.lastOutLine(), kSuccess);
}

TEST_F(CliProcess, UpdateFileIsTheOnlyCandidateInInternalMode) {
  cli.enableInternalMode();
  const test::TCliRun run = cli.run({"--simulate", "--file", writeUpdateFile()});
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString();
  EXPECT_EQ(run.out.count("-> Check "), 1);
  EXPECT_TRUE(run.out.contains("-> Check Kelvry V2.93, A10i BLE UART, BL3.0\n"));
  EXPECT_EQ(run.lastOutLine(), "Update Kelvry V2.93 succesfully completed.");
}

TEST_F(CliProcess, UnusableUpdateFileNeverFallsBackToTheImages) {
  cli.enableInternalMode();
  for (const QString& path : {QString("/nonexistent/kelvry.upd"), writeUpdateFile("26x35")}) {
    const test::TCliRun run = cli.run({"--simulate", "--file", path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(path)) << run.err.toStdString();
  }
}

// What the path points to or what the file holds is checked before anything
// else: no wait on a FIFO, no endless read of a device, and the real fault
// named instead of a puzzling header error. Nothing reaches the logger.
TEST_F(CliProcess, UnusableUpdateFilesAreRefusedAtOnceWithTheirRealFault) {
  cli.enableInternalMode();
  const QString fifo = files_.filePath("pipe.upd");
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  const QString utf16 = files_.filePath("utf16.upd");
  {
    std::ofstream file(utf16.toStdString(), std::ios::binary);
    for (const char c : std::string("bootloader=3\r\nbootloader version=0\r\n")) file << c << '\0';
  }
  struct TCase {
    QString path;
    QString fault;
  };
  const TCase cases[] = {{fifo, "FIFO"}, {"/dev/zero", "character device"}, {files_.path(), "directory"},
                         {utf16, "UTF-16"}};
  for (const TCase& c : cases) {
    for (const QStringList& arguments : {QStringList{"--simulate", "--file", c.path}, QStringList{"--file-info", c.path}}) {
      const test::TCliRun run = cli.run(arguments, 10s);
      ASSERT_TRUE(run.finished) << arguments.join(' ').toStdString();
      EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
      EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
      ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
      EXPECT_TRUE(run.err.contains(c.fault)) << run.err.toStdString();
    }
  }
}

TEST_F(CliProcess, InfoOnlyStopsAfterTheSelection) {
  cli.enableInternalMode();
  const test::TCliRun run = cli.run({"--simulate", "--info-only"});
  EXPECT_EQ(run.exitCode, 70);
  EXPECT_EQ(run.lastOutLine(), "Only read update info!");
  EXPECT_FALSE(run.out.contains("Progress"));
}

class CliCancel : public CliProcess, public ::testing::WithParamInterface<int> {};

TEST_P(CliCancel, SignalCancelsTheRunningUpdate) {
  sim::TLoggerConfig config;
  config.faults.baud = 57600;  // slow enough to be caught while programming
  sim::TPtyLogger logger(config);
  const test::TCliRun run =
      cli.runAndSignal({"--port", QString::fromStdString(logger.portPath()), "--yes"}, "Progress 1%", GetParam());
  EXPECT_EQ(run.exitCode, 20) << run.out.toStdString();
  EXPECT_EQ(run.lastOutLine(), "Process cancelled!");
  EXPECT_EQ(logger.stats().starts, 0);
  // The port is free again for the next program.
  const TPortHandle port = openComPort(logger.portPath(), 9600);
  EXPECT_NE(port, INVALID_PORT_HANDLE);
  closeComPort(port);
}

INSTANTIATE_TEST_SUITE_P(Signals, CliCancel, ::testing::Values(SIGINT, SIGTERM, SIGHUP, SIGQUIT));

// The 4 s in which the logger restarts are a wait like any other: a signal
// ends the process at once, not when the pause or a watcher's look is over.
TEST_F(CliProcess, SignalDuringTheRestartPauseEndsTheProcessAtOnce) {
  sim::TPtyLogger logger;
  const test::TCliRun run = cli.runAndSignalWhen({"--port", QString::fromStdString(logger.portPath()), "--yes"},
                                                 [&] { return logger.stats().starts > 0; }, SIGINT);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, err::CancelledAfterStart) << run.out.toStdString();
  EXPECT_GE(run.signalToExit.count(), 0);
  EXPECT_LT(run.signalToExit, std::chrono::seconds(1));
}

TEST_F(CliProcess, ReadBackErrorsStopAtTheRepeatBound) {
  sim::TLoggerConfig config;
  config.faults.corruptEchoOfLine = 0;
  config.faults.corruptEchoAlways = true;
  sim::TPtyLogger logger(config);
  const test::TCliRun run =
      cli.run({"--port", QString::fromStdString(logger.portPath()), "--yes", "--max-repeats", "2"});
  EXPECT_EQ(run.exitCode, 44) << run.out.toStdString();
  EXPECT_EQ(run.out.count("-> Start at serial port"), 3);
  EXPECT_EQ(run.out.count("-> Repeat because programming error!"), 3);
  EXPECT_EQ(run.lastOutLine(), "Gave up after 2 repeats: programming error!");
}

TEST_F(CliProcess, SilentLoggerStopsAtTheRepeatBoundWithCommunicationFailure) {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 1;
  sim::TPtyLogger logger(config);
  const test::TCliRun run =
      cli.run({"--port", QString::fromStdString(logger.portPath()), "--yes", "--max-repeats", "1"});
  EXPECT_EQ(run.exitCode, 30) << run.out.toStdString();
  EXPECT_EQ(run.out.count("-> Start at serial port"), 2);
  EXPECT_EQ(run.out.count("-> Repeat update because communication error!"), 2);
  EXPECT_EQ(run.lastOutLine(), "Gave up after 1 repeat: communication error!");
}

// A script against a dead logger ends by itself, after three repeats.
TEST_F(CliProcess, DeadLoggerEndsAfterThreeRepeatsByDefault) {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 1;
  sim::TPtyLogger logger(config);
  const test::TCliRun run = cli.run({"--port", QString::fromStdString(logger.portPath()), "--yes"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 30) << run.out.toStdString();
  EXPECT_EQ(run.out.count("-> Start at serial port"), 4);
  EXPECT_EQ(run.lastOutLine(), "Gave up after 3 repeats: communication error!");
}

}  // namespace
}  // namespace kelvry
