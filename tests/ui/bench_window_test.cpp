// The bench window against virtual loggers on pseudo-terminals that the test
// plugs in and pulls out, as a technician at a bench does.

#include <chrono>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include <QApplication>
#include <QDateTime>
#include <QKeyEvent>

#include "driver/exit_status.h"
#include "engine/status_codes.h"
#include "records/open_record_store.h"
#include "records/record_origin.h"
#include "tests/support/test_bench.h"
#include "tests/ui/bench_window_fixture.h"

namespace kelvry::test {
namespace {

using namespace std::chrono_literals;

enum TFinishedColumn { finEnded, finPort, finSerial, finBefore, finAfter, finImage, finResult };

class BenchWindow : public TBenchWindowTest {
protected:
  bool allDone(std::initializer_list<std::string> ports) {
    for (const std::string& port : ports)
      if (statusOf(port) != "done, unplug it") return false;
    return true;
  }

  // A bench started at once, with records, and a logger whose update has
  // begun; its port, empty when the update did not begin.
  std::string startOnOneLogger() {
    const std::string port = bench.plug("ttyUSB0");
    setup.arguments.yes = true;
    setup.arguments.logDir = records.string();
    open(bench);
    return waitUntil([&] { return bench.stats(port).exchanges > 0; }) ? port : std::string();
  }

  TTestBench bench{makeTempFolder("kelvry-bench-ports-")};
};

TEST_F(BenchWindow, NothingIsTouchedUntilStartWhichNamesThePortsItTakes) {
  const std::string first = bench.plug("ttyUSB0");
  const std::string second = bench.plug("ttyUSB1");
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return rowOf(first) >= 0 && rowOf(second) >= 0; }));
  QTest::qWait(800);  // longer than the settle time
  EXPECT_EQ(stateOf(first), "waiting for Start");
  EXPECT_EQ(bench.stats(first).exchanges, 0);
  EXPECT_EQ(bench.stats(second).exchanges, 0);

  // Answered No: still nothing touched.
  dialogs.answer = false;
  window->btnStart->click();
  ASSERT_EQ(dialogs.questions.size(), 1);
  EXPECT_TRUE(dialogs.questions[0].contains(QString::fromStdString(first))) << dialogs.questions[0].toStdString();
  EXPECT_TRUE(dialogs.questions[0].contains(QString::fromStdString(second)));
  EXPECT_TRUE(dialogs.questions[0].contains("SN-ttyUSB1"));
  EXPECT_EQ(dialogs.defaultAnswers[0], TDefaultAnswer::No);
  QTest::qWait(800);
  EXPECT_FALSE(window->isRunning());
  EXPECT_EQ(bench.stats(first).exchanges, 0);

  dialogs.answer = true;
  window->btnStart->click();
  ASSERT_TRUE(window->isRunning());
  ASSERT_TRUE(waitUntil([&] { return allDone({first, second}); })) << statusOf(first).toStdString();
  EXPECT_EQ(stateOf(first), "done");
  EXPECT_EQ(cellOf(first, TfrmBench::colResult), "Updated to Kelvry Series V2.92");
  EXPECT_EQ(cellOf(first, TfrmBench::colLogger), "Kelvry Series V2.88");
  EXPECT_EQ(finished(finResult), (QStringList{"done", "done"}));
  EXPECT_TRUE(waitUntil([&] {
    return window->lblCounts->text().startsWith("Updated 2, failed 0, running 0, waiting for unplug 2");
  })) << window->lblCounts->text().toStdString();

  // Left plugged in: never updated twice.
  QTest::qWait(1000);
  EXPECT_EQ(bench.stats(first).erases, 1);
  EXPECT_EQ(window->tblFinished->rowCount(), 2);

  // Unplugged, the row clears; the finished list keeps the logger.
  bench.pull(first);
  ASSERT_TRUE(waitUntil([&] { return rowOf(first) < 0; }));
  EXPECT_EQ(window->tblFinished->rowCount(), 2);
  EXPECT_GE(rowOf(second), 0);
}

TEST_F(BenchWindow, ALoggerPluggedInAgainOrSwappedIsUpdatedAgain) {
  const std::string port = bench.plug("ttyUSB0");
  setup.arguments.yes = true;
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return allDone({port}); }));

  bench.pull(port);
  ASSERT_TRUE(waitUntil([&] { return rowOf(port) < 0; }));
  bench.plug("ttyUSB0");
  ASSERT_TRUE(waitUntil([&] { return window->tblFinished->rowCount() == 2; }));
  EXPECT_EQ(bench.stats(port).erases, 1);  // the new logger, once

  // Another logger in its place faster than the bench looks: only its
  // serial number tells it apart.
  bench.swap("ttyUSB0", "another");
  ASSERT_TRUE(waitUntil([&] { return window->tblFinished->rowCount() == 3; }));
  EXPECT_EQ(finished(finSerial).last(), "another");
  EXPECT_EQ(finished(finResult), (QStringList{"done", "done", "done"}));
  EXPECT_EQ(bench.stats(port).erases, 1);
}

TEST_F(BenchWindow, ALoggerPulledMidUpdateFailsAndItsRowGoesWithThePort) {
  const std::string good = bench.plug("ttyUSB0");
  const std::string pulled = bench.plug("ttyUSB1");
  setup.arguments.yes = true;
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return bench.stats(pulled).erases > 0; }));
  bench.pull(pulled);
  ASSERT_TRUE(waitUntil([&] { return window->tblFinished->rowCount() == 2; }));
  ASSERT_TRUE(waitUntil([&] { return rowOf(pulled) < 0; }));
  EXPECT_EQ(statusOf(good), "done, unplug it");
  int failedRow = finished(finPort).indexOf(QString::fromStdString(pulled));
  ASSERT_GE(failedRow, 0);
  const QString result = finished(finResult)[failedRow];
  EXPECT_TRUE(result.startsWith("failed (status ")) << result.toStdString();
  EXPECT_FALSE(result.contains("status " + QString::number(err::Cancelled) + ")"));
  // The counts come with the bench's next look.
  EXPECT_TRUE(waitUntil([&] { return window->lblCounts->text().startsWith("Updated 1, failed 1"); }))
      << window->lblCounts->text().toStdString();
  // A failure sounds three times, a done logger once.
  ASSERT_TRUE(waitUntil([&] { return dialogs.beeps == 4; }));
}

TEST_F(BenchWindow, PortsOutsideTheFilterAndPortsThatFlickerAreNeverOpened) {
  setup.settle = 2s;
  const std::string other = bench.plug("ttyACM0", "2341");  // another maker's device
  const std::string adapter = bench.plug("ttyUSB0");
  open(bench);
  // The filter is picked from the adapters seen.
  ASSERT_TRUE(waitUntil([&] { return window->cbxFilter->findData("0403:6001") >= 0; }));
  EXPECT_GE(window->cbxFilter->findData("2341:6001"), 0);
  window->cbxFilter->setCurrentIndex(window->cbxFilter->findData("0403:6001"));
  ASSERT_TRUE(waitUntil([&] { return stateOf(other) == "outside the filter"; }));

  window->btnStart->click();
  ASSERT_EQ(dialogs.questions.size(), 1);
  EXPECT_FALSE(dialogs.questions[0].contains(QString::fromStdString(other)));
  EXPECT_TRUE(dialogs.questions[0].contains(QString::fromStdString(adapter)));
  const std::string flicker = bench.plug("ttyUSB1");
  QTest::qWait(300);
  bench.pull(flicker);
  ASSERT_TRUE(waitUntil([&] { return allDone({adapter}); }));
  EXPECT_EQ(stateOf(other), "outside the filter");
  EXPECT_EQ(bench.stats(other).exchanges, 0);
  EXPECT_EQ(window->tblFinished->rowCount(), 1);
}

TEST_F(BenchWindow, StopAsksWhileUpdatesRunAndCompletesTheCaseReportAsStopped) {
  const std::string port = startOnOneLogger();
  ASSERT_FALSE(port.empty()) << "the update did not begin";

  dialogs.answer = false;
  window->btnStop->click();
  ASSERT_EQ(dialogs.questions.size(), 1);
  EXPECT_TRUE(dialogs.questions[0].startsWith("1 updates are running!")) << dialogs.questions[0].toStdString();
  EXPECT_EQ(dialogs.defaultAnswers[0], TDefaultAnswer::No);
  EXPECT_TRUE(window->isRunning());

  dialogs.answer = true;
  window->btnStop->click();
  ASSERT_TRUE(waitUntil([&] { return !window->isRunning(); }));
  EXPECT_EQ(finished(finResult), QStringList{"failed (status " + QString::number(err::Cancelled) +
                                             "): Process cancelled"});
  EXPECT_NE(window->caseReportText().find("(stopped)"), std::string::npos) << window->caseReportText();
  // The case report and the logger's report file are in the records folder.
  int caseReports = 0;
  int reportFiles = 0;
  for (const auto& entry : std::filesystem::directory_iterator(records)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with("case_")) {
      ++caseReports;
      std::ifstream file(entry.path());
      const std::string text{std::istreambuf_iterator<char>(file), {}};
      EXPECT_EQ(text, window->caseReportText());
    } else if (name.ends_with(".log")) {
      ++reportFiles;
    }
  }
  EXPECT_EQ(caseReports, 1);
  EXPECT_EQ(reportFiles, 1);
  EXPECT_TRUE(window->btnStart->isEnabled());
}

TEST_F(BenchWindow, ClosingWhileUpdatesRunAsksAndNoKeepsTheBenchGoing) {
  const std::string port = startOnOneLogger();
  ASSERT_FALSE(port.empty()) << "the update did not begin";

  dialogs.answer = false;
  EXPECT_FALSE(window->close());
  ASSERT_EQ(dialogs.questions.size(), 1);
  EXPECT_EQ(dialogs.questions[0], "The bench is updating loggers!\r\nDo you really close the program ?");
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isRunning());

  dialogs.answer = true;
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isRunning());
  EXPECT_NE(window->caseReportText().find("(stopped)"), std::string::npos);
  EXPECT_NE(window->caseReportText().find(port), std::string::npos);
}

TEST_F(BenchWindow, NoStrayReturnOrSpaceStartsOrStopsTheBench) {
  const std::string port = bench.plug("ttyUSB0");
  open(bench);
  QApplication::setActiveWindow(window.get());
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    window->btnStart->setFocus();
    QTest::keyClick(window->btnStart, key);
  }
  QTest::qWait(200);
  EXPECT_TRUE(dialogs.questions.isEmpty());
  EXPECT_FALSE(window->isRunning());

  window->btnStart->click();
  ASSERT_TRUE(window->isRunning());
  ASSERT_TRUE(waitUntil([&] { return bench.stats(port).exchanges > 0; }));
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    window->btnStop->setFocus();
    QTest::keyClick(window->btnStop, key);
  }
  EXPECT_EQ(dialogs.questions.size(), 1);  // only Start's
  EXPECT_TRUE(window->isRunning());
  ASSERT_TRUE(waitUntil([&] { return allDone({port}); }));
}

TEST_F(BenchWindow, ARecordsFolderThatCannotBeWrittenIsToldBeforeAnyLoggerIsTouched) {
  const std::string port = bench.plug("ttyUSB0");
  const std::filesystem::path notAFolder = records / "file";
  std::ofstream(notAFolder) << "x";
  open(bench);
  window->edtRecords->setText(QString::fromStdString(notAFolder.string()));
  window->btnStart->click();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("The records folder \"" + QString::fromStdString(notAFolder.string())))
      << dialogs.errors[0].toStdString();
  EXPECT_FALSE(window->isRunning());
  QTest::qWait(600);
  EXPECT_EQ(bench.stats(port).exchanges, 0);
}

TEST_F(BenchWindow, EveryAttemptOfABenchIsKeptInTheRecordsStore) {
  const std::string port = bench.plug("ttyUSB0");
  setup.arguments.yes = true;
  setup.arguments.expect = 1;
  open(bench);
  EXPECT_EQ(window->tblPorts->horizontalHeaderItem(TfrmBench::colLastUpdated)->text(), "Last updated");
  ASSERT_TRUE(waitUntil([&] { return !window->isRunning() && !window->caseReportText().empty(); }));
  EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front().toStdString();
  const std::vector<TAttemptRecord> kept = openRecordStore(storeFile().string())->history({});
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(kept[0].port, port);
  EXPECT_EQ(kept[0].status, kExitSuccess);
  EXPECT_EQ(kept[0].image.name, finished(finImage).value(0).toStdString());
  EXPECT_FALSE(kept[0].image.sha256.empty());
  EXPECT_EQ(kept[0].station, stationName());
  EXPECT_FALSE(kept[0].report.empty());
}

TEST_F(BenchWindow, AStoreThatIsNotOursIsRefusedAtStartAndNoLoggerIsTouched) {
  const std::string port = bench.plug("ttyUSB0");
  const std::string foreign = "a note of another program, not a database\n";
  std::ofstream(storeFile(), std::ios::binary) << foreign;
  open(bench);
  window->btnStart->click();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("The records store \"" + QString::fromStdString(storeFile().string()) +
                                           "\" cannot be used: "))
      << dialogs.errors[0].toStdString();
  EXPECT_FALSE(window->isRunning());
  QTest::qWait(600);
  EXPECT_EQ(bench.stats(port).exchanges, 0);
  std::ifstream kept(storeFile(), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), foreign);
}

TEST_F(BenchWindow, ARowTellsWhenItsLoggerWasLastUpdatedAndWithWhat) {
  struct TSeed {
    const char* serial;
    QDateTime started;
    const char* image;
    int status;
  };
  const QDateTime earlier(QDate(2026, 12, 9), QTime(9, 30));
  const QDateTime later(QDate(2026, 12, 10), QTime(14, 5));
  const TSeed seeds[] = {
      {"SN-ttyUSB0", earlier, "Kelvry V2.88", kExitSuccess},
      {"SN-ttyUSB0", later, "Kelvry V2.92", kExitSuccess},
      {"SN-ttyUSB2", later, "Kelvry V2.92", err::NoReply},  // its last attempt failed
      {"SN-elsewhere", later.addDays(1), "Kelvry V2.99", kExitSuccess},
  };
  {
    auto seeded = openRecordStore(storeFile().string());
    for (const TSeed& seed : seeds) {
      TAttemptRecord record;
      record.id = newRecordId();
      record.port = "/dev/ttyUSB7";
      record.usb.serial = seed.serial;
      record.started = record.ended = TUtcTime(std::chrono::milliseconds(seed.started.toMSecsSinceEpoch()));
      record.image.name = seed.image;
      record.status = seed.status;
      seeded->add(record);
    }
  }
  const std::string seen = bench.plug("ttyUSB0");
  const std::string fresh = bench.plug("ttyUSB1");
  const std::string failed = bench.plug("ttyUSB2");
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return rowOf(seen) >= 0 && rowOf(fresh) >= 0 && rowOf(failed) >= 0; }));
  EXPECT_EQ(cellOf(seen, TfrmBench::colLastUpdated), "2026-12-10 14:05, Kelvry V2.92");
  EXPECT_EQ(cellOf(fresh, TfrmBench::colLastUpdated), "-");
  EXPECT_EQ(cellOf(failed, TfrmBench::colLastUpdated), "2026-12-10 14:05, Kelvry V2.92 (failed)");
  EXPECT_EQ(bench.stats(seen).exchanges, 0);
}

TEST_F(BenchWindow, TheExpectedCountEndsTheCaseAndTheWindowStaysShowingIt) {
  const std::string first = bench.plug("ttyUSB0");
  const std::string second = bench.plug("ttyUSB1");
  setup.arguments.yes = true;
  setup.arguments.expect = 1;
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return !window->isRunning() && !window->caseReportText().empty(); }));
  EXPECT_EQ(window->tblFinished->rowCount(), 1);
  EXPECT_TRUE(window->lblCounts->text().endsWith("1 of 1")) << window->lblCounts->text().toStdString();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->caseReportText().find("(stopped)"), std::string::npos);
  // The port the case did not need was never opened, and says so.
  const std::string untouched = bench.stats(first).exchanges == 0 ? first : second;
  EXPECT_EQ(bench.stats(untouched).exchanges, 0);
  EXPECT_EQ(stateOf(untouched), "not taken");
}

// Every state a running bench shows, at once: each with its word and a look
// of its own. With KELVRY_BENCH_PICTURE set, the window is also saved there
// as a picture (the documentation's).
TEST_F(BenchWindow, EveryStateOfARunningBenchHasItsWordAndItsOwnLook) {
  setup.settle = 1500ms;
  const std::string other = bench.plug("ttyACM0", "2341");  // another maker's device
  const std::string good = bench.plug("ttyUSB0");
  const std::string refused = bench.plug("ttyUSB1", "0403", [](sim::TLoggerConfig& config) {
    config.identity.print = 99;  // no image fits it
  });
  open(bench);
  ASSERT_TRUE(waitUntil([&] { return window->cbxFilter->findData("0403:6001") >= 0; }));
  window->cbxFilter->setCurrentIndex(window->cbxFilter->findData("0403:6001"));
  window->btnStart->click();
  ASSERT_TRUE(waitUntil([&] { return stateOf(good) == "done" && stateOf(refused) == "failed"; }));
  const std::string busy = bench.plug("ttyUSB2");
  ASSERT_TRUE(waitUntil([&] { return stateOf(busy) == "updating" && !cellOf(busy, TfrmBench::colLogger).isEmpty(); }));
  const std::string fresh = bench.plug("ttyUSB3");
  ASSERT_TRUE(waitUntil([&] { return rowOf(fresh) >= 0; }));

  const std::vector<std::pair<std::string, QString>> states = {
      {other, "outside the filter"}, {good, "done"}, {refused, "failed"}, {busy, "updating"}, {fresh, "plugged in"}};
  std::set<QString> looks;
  for (const auto& [port, word] : states) {
    EXPECT_EQ(stateOf(port), word) << port;
    const QTableWidgetItem* item = window->tblPorts->item(rowOf(port), TfrmBench::colState);
    looks.insert(item->background().color().name() + "/" + item->foreground().color().name());
  }
  EXPECT_EQ(looks.size(), states.size());
  EXPECT_TRUE(statusOf(refused).startsWith("failed: ")) << statusOf(refused).toStdString();
  EXPECT_TRUE(statusOf(refused).endsWith(", unplug it"));
  if (const char* picture = std::getenv("KELVRY_BENCH_PICTURE")) {
    EXPECT_TRUE(window->grab().save(picture));
  }
}

}  // namespace
}  // namespace kelvry::test
