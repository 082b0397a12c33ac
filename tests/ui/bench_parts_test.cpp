// The bench window's parts that need no logger: its command line, the words
// of a row, the rows gathered from the jobs' threads, and the options it
// keeps between runs.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/exit_status.h"
#include "engine/status_codes.h"
#include "tests/ui/bench_window_fixture.h"
#include "ui/bench/bench_arguments.h"
#include "ui/bench/bench_row_text.h"
#include "ui/bench/bench_rows.h"
#include "ui/bench/bench_settings.h"

namespace kelvry::test {
namespace {

struct TArgumentsCase {
  std::vector<std::string> words;
  std::string error;  // empty: accepted
  int simulate = 0;
  int expect = 0;     // 0: none
  std::string logDir;
  bool yes = false;
  std::string records = "default";
};

TEST(BenchArguments, TakeTheCommandLinesBenchWordsAndNameTheWordAtFault) {
  const std::vector<TArgumentsCase> cases = {
      {{"--bench"}, "", 0, 0, "", false},
      {{"--bench", "--simulate", "3"}, "", 3, 3, "", false},  // a virtual case ends once each is done
      {{"--bench", "--simulate", "4", "--expect", "2", "--yes"}, "", 4, 2, "", true},
      {{"--bench", "--log-dir", "records", "--expect", "12"}, "", 0, 12, "records", false},
      {{"--bench", "--records", "line-2.sqlite", "--yes"}, "", 0, 0, "", true, "line-2.sqlite"},
      {{"--bench", "--records", "postgresql://bench@records.example/records"},
       "", 0, 0, "", false, "postgresql://bench@records.example/records"},
      {{"--bench", "--records"}, "--records needs a value", 0, 0, "", false},
      {{"--bench", "--simulate", "0"}, "--simulate needs a number from 1 to 64, not '0'", 0, 0, "", false},
      {{"--bench", "--simulate", "65"}, "--simulate needs a number from 1 to 64, not '65'", 0, 0, "", false},
      {{"--bench", "--expect", "x1"}, "--expect needs a number from 1 to 1000, not 'x1'", 0, 0, "", false},
      {{"--bench", "--simulate", "2", "--expect", "3"},
       "--expect 3 is more than the 2 virtual loggers of --simulate", 0, 0, "", false},
      {{"--bench", "--log-dir"}, "--log-dir needs a value", 0, 0, "", false},
      {{"--bench", "--log-dir", "--yes"}, "--log-dir needs a value", 0, 0, "", false},
      {{"--bench", "--port", "COM3"}, "'--port' is not an option of the bench window", 0, 0, "", false},
      {{"--bench", "--simulate", "1\x1b[2J"},
       "--simulate needs a number from 1 to 64, not '1\\x1b[2J'", 0, 0, "", false},
  };
  for (const TArgumentsCase& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.words));
    EXPECT_TRUE(isBenchCommandLine(c.words));
    if (!c.error.empty()) {
      try {
        parseBenchArguments(c.words);
        ADD_FAILURE() << "accepted";
      } catch (const std::invalid_argument& e) {
        EXPECT_EQ(std::string(e.what()), c.error);
      }
      continue;
    }
    const TBenchArguments parsed = parseBenchArguments(c.words);
    EXPECT_EQ(parsed.simulate, c.simulate);
    EXPECT_EQ(parsed.expect.value_or(0), c.expect);
    EXPECT_EQ(parsed.logDir.value_or(""), c.logDir);
    EXPECT_EQ(parsed.yes, c.yes);
    EXPECT_EQ(parsed.records, c.records);
  }
  EXPECT_FALSE(isBenchCommandLine({"mf:+", "f:+"}));
}

TBenchJobState endedJob(int status, const std::string& text) {
  TBenchJobState job;
  job.port = "/dev/ttyUSB0";
  job.record = TPortRecord{};
  job.record->exitStatus = status;
  job.record->resultText = text;
  job.record->loggerAfter = "Kelvry V2.92";
  return job;
}

enum TBench { Before, Running, Ended };

TRowFacts facts(TBench bench, std::optional<TBenchJobState> job = std::nullopt, bool passesFilter = true) {
  TRowFacts made;
  made.passesFilter = passesFilter;
  made.benchRunning = bench == Running;
  made.benchEnded = bench == Ended;
  made.job = std::move(job);
  return made;
}

struct TRowCase {
  const char* name;
  TRowFacts facts;
  TRowState state;
  std::string word, status, result;
};

TEST(BenchRowText, EachStateHasItsWordAndAFinishedRowSaysToUnplug) {
  TBenchJobState running;
  running.running = true;
  running.status = "Programming line 12 of 300";
  const std::vector<TRowCase> cases = {
      {"before Start", facts(Before), TRowState::WaitingForStart, "waiting for Start", "nothing is touched until Start", ""},
      {"filtered out", facts(Running, std::nullopt, false), TRowState::OutsideFilter,
       "outside the filter", "never opened", ""},
      {"settling", facts(Running), TRowState::PluggedIn, "plugged in", "taken once it has settled", ""},
      {"after the bench", facts(Ended), TRowState::NotTaken, "not taken", "the bench has ended", ""},
      {"running", facts(Running, running), TRowState::Updating, "updating",
       "Programming line 12 of 300", ""},
      {"done", facts(Running, endedJob(0, "Update Kelvry V2.92 succesfully completed.")),
       TRowState::Done, "done", "done, unplug it", "Updated to Kelvry V2.92"},
      {"failed",
       facts(Running, endedJob(err::NoReply, "Aborted because error when reading/writing to serial port!\r\nmore")),
       TRowState::Failed, "failed", "failed: Aborted because error when reading/writing to serial port, unplug it",
       "Failed (status " + std::to_string(err::NoReply) + ")"},
      {"failed, no text", facts(Ended, endedJob(kExitUnexpected, "")), TRowState::Failed, "failed",
       "failed: no answer, unplug it", "Failed (status 1)"},
  };
  for (const TRowCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TRowText text = rowText(c.facts);
    EXPECT_EQ(text.state, c.state);
    EXPECT_EQ(text.word, c.word);
    EXPECT_EQ(text.status, c.status);
    EXPECT_EQ(text.result, c.result);
  }
}

TEST(BenchRows, HandEachChangedJobOnceWithItsTimeLeft) {
  auto now = std::chrono::steady_clock::time_point{};
  TBenchRows rows([&] { return now; });
  rows.portAdded(0, "/dev/ttyUSB0");
  rows.portAdded(1, "/dev/ttyUSB1");
  rows.jobRunning(1, true);
  rows.progress(1, 10);
  now += std::chrono::seconds(10);
  rows.progress(1, 20);  // 10 % in 10 s: 80 s left
  TBenchCounts counts;
  counts.running = 1;
  rows.benchCounts(counts);

  TBenchRows::TChanges changes = rows.takeChanges();
  ASSERT_EQ(changes.jobs.size(), 2u);
  EXPECT_EQ(changes.jobs[1].second.port, "/dev/ttyUSB1");
  EXPECT_EQ(changes.jobs[1].second.percent, 20);
  ASSERT_TRUE(changes.jobs[1].second.left);
  EXPECT_NEAR(changes.jobs[1].second.left->count(), 80, 1);
  ASSERT_TRUE(changes.counts);
  EXPECT_EQ(changes.counts->running, 1);

  // Nothing new: nothing to redraw.
  changes = rows.takeChanges();
  EXPECT_TRUE(changes.jobs.empty());
  EXPECT_FALSE(changes.counts);

  TPortRecord record;
  record.exitStatus = 0;
  rows.finished(1, record);
  changes = rows.takeChanges();
  ASSERT_EQ(changes.jobs.size(), 1u);
  EXPECT_FALSE(changes.jobs[0].second.running);
  EXPECT_FALSE(changes.jobs[0].second.left);
  EXPECT_TRUE(changes.jobs[0].second.record);
}

using BenchOptions = TBenchWindowTest;

TEST_F(BenchOptions, AreKeptBetweenRunsButTheCommandLinesAreForThisRunOnly) {
  saveBenchOptions({.filter = "0403:6001", .recordsFolder = "/srv/records", .expect = 12, .soundDone = false,
                    .soundFailed = true});
  TSimulatedBench none(0, shortImageFile());
  open(none);
  EXPECT_EQ(window->cbxFilter->currentData().toString(), "0403:6001");
  EXPECT_EQ(window->edtRecords->text(), "/srv/records");
  EXPECT_EQ(window->spnExpect->value(), 12);
  EXPECT_FALSE(window->chkSoundDone->isChecked());
  EXPECT_TRUE(window->chkSoundFailed->isChecked());
  window->chkSoundDone->setChecked(true);
  window->spnExpect->setValue(4);
  window->close();

  const TBenchOptions kept = loadBenchOptions();
  EXPECT_TRUE(kept.soundDone);
  EXPECT_EQ(kept.expect, 4);
  EXPECT_EQ(kept.filter, "0403:6001");

  setup.arguments.logDir = "/tmp/this-run-only";
  setup.arguments.expect = 2;
  open(none);
  EXPECT_EQ(window->edtRecords->text(), "/tmp/this-run-only");
  EXPECT_EQ(window->spnExpect->value(), 2);
  window->close();
  EXPECT_EQ(loadBenchOptions().recordsFolder, "/srv/records");
  EXPECT_EQ(loadBenchOptions().expect, 4);
}

TEST_F(BenchOptions, TheHeaderNamesEveryImageWithItsShortDigestAndTheFullOneOnHover) {
  TSimulatedBench none(0, shortImageFile());
  open(none);
  const QString shown = window->lblImages->text();
  const QString full = window->lblImages->toolTip();
  EXPECT_TRUE(shown.startsWith("Images: ")) << shown.toStdString();
  const QStringList lines = full.split('\n');
  ASSERT_EQ(lines.size(), 1);  // the update file alone
  const QString sha = lines[0].section("SHA-256 ", 1);
  EXPECT_EQ(sha.size(), 64);
  EXPECT_TRUE(shown.contains("(" + sha.left(8) + ")"));
  EXPECT_EQ(window->windowTitle(), "Kelvry Bench");
}

}  // namespace
}  // namespace kelvry::test
