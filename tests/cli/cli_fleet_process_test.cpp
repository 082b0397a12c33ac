// The real kelvry-update-cli updating several loggers at once: virtual
// loggers of its own, ports given several times with JSON lines and report
// files, and a signal that cancels every port.

#include <gtest/gtest.h>

#include <signal.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <map>
#include <string>

#include "serial/serial_port.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/qt_printers.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;

const QString kSuccess = "Update Kelvry V2.92 succesfully completed.";

// "port: text" lines up to the blank line before the summary: each port's
// last line.
std::map<QString, QString> lastLinePerPort(const test::TCliRun& run) {
  std::map<QString, QString> last;
  for (const QString& line : run.out.split('\n')) {
    if (line.isEmpty()) break;
    const qsizetype colon = line.indexOf(": ");
    if (colon > 0) last[line.left(colon)] = line.mid(colon + 2);
  }
  return last;
}

TEST(CliFleet, UpdatesSeveralVirtualLoggersAtOnceWithASummary) {
  test::TCliProcess cli;
  const test::TCliRun run = cli.run({"--simulate", "3", "--yes"}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const std::map<QString, QString> last = lastLinePerPort(run);
  ASSERT_EQ(last.size(), 3u) << run.out.toStdString();
  for (const auto& [port, text] : last) EXPECT_EQ(text, kSuccess) << port.toStdString();
  // The summary: heading and a row per port, with the firmware before and
  // after and the port's own exit status.
  const QStringList summary = run.out.mid(run.out.indexOf("\n\n") + 2).split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(summary.size(), 4) << run.out.toStdString();
  EXPECT_TRUE(summary[0].startsWith("Port")) << summary[0].toStdString();
  for (int i = 1; i < 4; ++i) {
    EXPECT_TRUE(summary[i].contains("Kelvry Series V2.92  Kelvry Series V2.92  Kelvry V2.92")) << summary[i].toStdString();
    EXPECT_TRUE(summary[i].endsWith(kSuccess));
  }
}

TEST(CliFleet, JsonLinesReportFilesAndTheStatusForSomeFailed) {
  sim::TPtyLogger good;
  sim::TLoggerConfig refusing;
  refusing.faults.exceptionBitAlways = true;  // "the logger is not ready"
  sim::TPtyLogger bad(refusing);
  const QTemporaryDir folder;
  test::TCliProcess cli;
  const QString records = folder.filePath("records");
  const test::TCliRun run =
      cli.run({"--port", QString::fromStdString(good.portPath()), "--port", QString::fromStdString(bad.portPath()),
               "--yes", "--json", "--log-dir", records},
              120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 80) << run.err.toStdString();
  std::map<std::string, int> status;
  for (const QString& line : run.outLines()) {
    const nlohmann::json object = nlohmann::json::parse(line.toStdString());
    if (object.contains("result")) status[object.at("port")] = object.at("result").at("status");
  }
  EXPECT_EQ(status, (std::map<std::string, int>{{good.portPath(), 0}, {bad.portPath(), 41}}));
  EXPECT_TRUE(run.err.contains("Installed")) << "the summary goes to stderr beside JSON lines";
  const QStringList files = QDir(records).entryList(QDir::Files);
  ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
  for (const QString& name : files) {
    QFile file(QDir(records).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("Result: 0 " + kSuccess) || text.contains("Result: 41 ")) << text.toStdString();
  }
}

// A disk that fills up during the run: the loggers are updated, but their
// records are not whole, and a script must not take the run for complete.
TEST(CliFleet, AReportFileThatCannotBeWrittenWholeIsToldAndMakesTheRunExit81) {
  const QTemporaryDir folder;
  test::TCliProcess cli;
  cli.limitFileSize(100);  // the first line of each file fits, the rest does not
  const QString records = folder.filePath("records");
  const test::TCliRun run = cli.run({"--simulate", "2", "--yes", "--log-dir", records}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 81) << run.err.toStdString();

  const QStringList files = QDir(records).entryList(QDir::Files);
  ASSERT_EQ(files.size(), 2) << files.join(' ').toStdString();
  QStringList told;
  for (const QString& line : run.errLines())
    if (line.contains("report file")) told << line;
  ASSERT_EQ(told.size(), 2) << run.err.toStdString();
  for (const QString& name : files) {
    const QString path = QDir(records).filePath(name);
    EXPECT_EQ(told.filter("\"" + path + "\" is incomplete: File too large").size(), 1) << run.err.toStdString();
  }
  // Each logger's own result is still in the summary.
  EXPECT_EQ(run.outLines().filter(kSuccess).size(), 4) << run.out.toStdString();
}

// A disk full before the run: no file can take its first line, so the run
// stops before any logger is touched, as for a folder that cannot be written.
TEST(CliFleet, AReportFileThatCannotTakeItsFirstLineStopsTheRunBeforeAnyLogger) {
  const QTemporaryDir folder;
  test::TCliProcess cli;
  cli.limitFileSize(4);
  const QString records = folder.filePath("records");
  const test::TCliRun run = cli.run({"--simulate", "2", "--yes", "--log-dir", records}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
  EXPECT_EQ(run.out, "") << "no logger was touched";
  EXPECT_TRUE(run.err.contains("--log-dir: cannot write") && run.err.contains("File too large")) << run.err.toStdString();
  EXPECT_EQ(QDir(records).entryList(QDir::Files), QStringList()) << "the files it made are gone again";
}

// A bench on a disk that is full already is refused at once, as a run of
// several ports is, and not after a case of loggers.
TEST(CliFleet, ABenchOnAFullDiskStopsBeforeAnyLogger) {
  const QTemporaryDir folder;
  test::TCliProcess cli;
  cli.limitFileSize(4);
  const QString records = folder.filePath("records");
  const test::TCliRun run = cli.run({"--bench", "--simulate", "2", "--yes", "--log-dir", records}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
  EXPECT_FALSE(run.out.contains(kSuccess)) << "no logger was touched: " << run.out.toStdString();
  EXPECT_TRUE(run.err.contains("--log-dir: cannot write") && run.err.contains("File too large")) << run.err.toStdString();
  EXPECT_EQ(QDir(records).entryList(QDir::Files), QStringList()) << "the file it made is gone again";
}

// The case report's first lines fit, the rest does not: its text is not
// lost, stderr gets it whole, and the run exits 81.
TEST(CliFleet, ACaseReportTheDiskCannotTakeGoesToStderrWhole) {
  const QTemporaryDir folder;
  test::TCliProcess cli;
  cli.limitFileSize(60);
  const QString records = folder.filePath("records");
  const test::TCliRun run = cli.run({"--bench", "--simulate", "2", "--yes", "--log-dir", records}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 81) << run.err.toStdString();
  const qsizetype told = run.err.indexOf(QRegularExpression("case report \"[^\"]+\" is incomplete: File too large; it follows here"));
  ASSERT_GE(told, 0) << run.err.toStdString();
  const QString after = run.err.mid(told);
  EXPECT_TRUE(after.contains("\nCase report\nStarted: ")) << run.err.toStdString();
  EXPECT_TRUE(after.contains("Loggers: 2, succeeded 2, failed 0")) << run.err.toStdString();
  EXPECT_TRUE(after.contains("Logger 2: ")) << run.err.toStdString();
}

TEST(CliFleet, ASignalCancelsEveryPortAndReleasesThem) {
  sim::TPtyLogger first;
  sim::TPtyLogger second;
  test::TCliProcess cli;
  const test::TCliRun run = cli.runAndSignal(
      {"--port", QString::fromStdString(first.portPath()), "--port", QString::fromStdString(second.portPath()),
       "--yes"},
      "Progress 2%", SIGTERM, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 80);
  const std::map<QString, QString> last = lastLinePerPort(run);
  ASSERT_EQ(last.size(), 2u) << run.out.toStdString();
  for (const auto& [port, text] : last) EXPECT_EQ(text, "Process cancelled!") << port.toStdString();
  for (const sim::TPtyLogger* logger : {&first, &second}) {
    EXPECT_EQ(logger->stats().starts, 0);
    const TPortHandle port = openComPort(logger->portPath(), 9600);
    EXPECT_NE(port, INVALID_PORT_HANDLE) << "the port is free again";
    closeComPort(port);
  }
}

// A virtual bench: three loggers plugged in a few seconds apart, each
// updated once and unplugged, and the run ends once all three are done.
TEST(CliFleet, ABenchOfVirtualLoggersUpdatesEachAsItIsPluggedIn) {
  test::TCliProcess cli;
  const test::TCliRun run = cli.run({"--bench", "--simulate", "3", "--expect", "3", "--yes"}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const std::map<QString, QString> last = lastLinePerPort(run);
  ASSERT_EQ(last.size(), 3u) << run.out.toStdString();
  for (const auto& [port, text] : last) {
    EXPECT_EQ(text, kSuccess) << port.toStdString();
    EXPECT_EQ(run.err.count(port + ": done, unplug it"), 1) << run.err.toStdString();
  }
  EXPECT_TRUE(run.err.contains("Updated 3, failed 0, running 0")) << run.err.toStdString();
  const QStringList summary = run.out.mid(run.out.indexOf("\n\n") + 2).split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(summary.size(), 4) << run.out.toStdString();
  EXPECT_TRUE(summary[0].startsWith("Port")) << summary[0].toStdString();
}

// Ctrl-C on a bench: the running job is cancelled, no logger plugged in
// later is taken, and the case report is still written into --log-dir.
TEST(CliFleet, ABenchStoppedByCtrlCStillWritesItsCaseReport) {
  QTemporaryDir folder;
  const QString records = folder.filePath("records");
  test::TCliProcess cli;
  const test::TCliRun run = cli.runAndSignal({"--bench", "--simulate", "3", "--yes", "--log-dir", records},
                                             "Progress", SIGINT, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 80) << run.err.toStdString();
  const QStringList cases = QDir(records).entryList({"case_*.txt"}, QDir::Files);
  ASSERT_EQ(cases.size(), 1) << QDir(records).entryList().join(' ').toStdString();
  QFile file(QDir(records).filePath(cases.front()));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.startsWith("Case report\nStarted: ")) << text.toStdString();
  EXPECT_TRUE(text.contains("Z (stopped)\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("Program: kelvry-update-cli ")) << text.toStdString();
  EXPECT_TRUE(text.contains("Loggers: 1, succeeded 0, failed 1\n")) << text.toStdString();
  EXPECT_TRUE(text.contains("  Result: 20 Process cancelled!\n")) << text.toStdString();
  EXPECT_FALSE(run.out.contains("Case report")) << "with --log-dir it goes into the folder";
}

// Without --log-dir the case report follows the summary on stdout, with the
// digest of the image the loggers got.
TEST(CliFleet, ABenchEndsWithItsCaseReportAfterTheSummary) {
  test::TCliProcess cli;
  const test::TCliRun run = cli.run({"--bench", "--simulate", "1", "--yes"}, 120s);
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
  const qsizetype summary = run.out.indexOf("\nPort ");
  const qsizetype report = run.out.indexOf("\nCase report\n");
  ASSERT_GT(summary, 0) << run.out.toStdString();
  EXPECT_GT(report, summary) << run.out.toStdString();
  EXPECT_TRUE(QRegularExpression("\nImage: Kelvry V2\\.92 [^\n]*, SHA-256 [0-9a-f]{64}\n").match(run.out).hasMatch())
      << run.out.toStdString();
  EXPECT_TRUE(run.out.contains("Loggers: 1, succeeded 1, failed 0\n")) << run.out.toStdString();
}

TEST(CliFleet, ABenchWithoutATerminalNeedsYes) {
  test::TCliProcess cli;
  const test::TCliRun run = cli.run({"--bench"});
  ASSERT_TRUE(run.finished);
  EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("add --yes")) << run.err.toStdString();
  EXPECT_EQ(run.out, "");
}

TEST(CliFleet, HelpDocumentsTheFleetOptionsAndTheirExitStatus) {
  test::TCliProcess cli;
  const test::TCliRun help = cli.run({"--help"});
  for (const char* text : {"--all-ports", "--json", "--log-dir", "--simulate [n]", "  80 ", "  81 ", "--bench",
                           "--expect <n>", "--port-filter <vid:pid[:serial]>", "--bell", "Bench mode (--bench):"})
    EXPECT_TRUE(help.out.contains(text)) << text;
}

}  // namespace
}  // namespace kelvry
