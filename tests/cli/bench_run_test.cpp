// Bench mode against virtual loggers on pseudo-terminals that the test plugs
// in and pulls out (tests/support/test_bench.h).

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/outputs/run_output_set.h"
#include "driver/bench_run.h"
#include "driver/exit_status.h"
#include "driver/port_filter.h"
#include "engine/status_codes.h"
#include "firmware/update_file.h"
#include "tests/support/short_image.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_bench.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;

const std::string kSuccess = "Update Kelvry V2.92 succesfully completed.";

using test::shortImage;
using test::shortImageFile;

using test::TTestBench;

bool waitFor(const std::function<bool()>& condition, std::chrono::seconds limit = 60s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
  return true;
}

class BenchRun : public ::testing::Test {
protected:
  void SetUp() override {
    settings.job.maxRepeats = 1;
    settings.job.request.sources = shortImageFile();
    settings.pollEvery = 50ms;
    settings.settle = 300ms;
    outputSettings.bench = true;
  }

  void start() {
    running = std::async(std::launch::async, [this] {
      TRunOutputSet output(outputSettings, out, err);
      return runBench(settings, bench, cancel, output);
    });
  }

  // A bench that does not end by itself is stopped, so that the test fails
  // instead of hanging.
  TBenchResult result() {
    if (running.wait_for(60s) != std::future_status::ready) {
      ADD_FAILURE() << "the bench did not end by itself";
      cancel->cancel();
    }
    return running.get();
  }

  int count(const std::string& text) const {
    int n = 0;
    for (size_t at = err.str().find(text); at != std::string::npos; at = err.str().find(text, at + 1)) ++n;
    return n;
  }

  TBenchSettings settings;
  TRunOutputSettings outputSettings;
  TTestBench bench{test::makeTempFolder("kelvry-bench-")};
  std::shared_ptr<TCancelToken> cancel = std::make_shared<TCancelToken>();
  std::ostringstream out;
  std::ostringstream err;
  std::future<TBenchResult> running;
};

TEST_F(BenchRun, LoggersPluggedAtDifferentTimesAreEachUpdatedAndExpectEndsTheRun) {
  settings.expect = 3;
  const std::string first = bench.plug("ttyUSB0");
  start();
  std::this_thread::sleep_for(1500ms);
  const std::string second = bench.plug("ttyUSB1");
  std::this_thread::sleep_for(1500ms);
  const std::string third = bench.plug("ttyUSB2");
  const TBenchResult r = result();

  EXPECT_EQ(r.exitStatus, kExitSuccess);
  ASSERT_EQ(r.loggers.size(), 3u);
  const std::vector<std::string> ports = {first, second, third};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r.loggers[i].identity.port, ports[i]);
    EXPECT_EQ(r.loggers[i].identity.serialNumber, "SN-ttyUSB" + std::to_string(i));
    EXPECT_EQ(r.loggers[i].outcome.record.usb.serialNumber, "SN-ttyUSB" + std::to_string(i))
        << "the record keeps the logger it is about";
    EXPECT_EQ(r.loggers[i].outcome.record.exitStatus, 0);
    EXPECT_EQ(r.loggers[i].outcome.record.resultText, kSuccess);
    EXPECT_EQ(r.loggers[i].outcome.record.loggerBefore, "Kelvry Series V2.88");
    EXPECT_LE(r.loggers[i].started, r.loggers[i].ended);
    EXPECT_NE(out.str().find(ports[i] + ": " + kSuccess), std::string::npos) << out.str();
    EXPECT_EQ(count(ports[i] + ": done, unplug it"), 1) << err.str();
  }
  // Off a terminal the counts come as lines; the last one: all three done
  // and still plugged in.
  EXPECT_NE(err.str().find("Updated 3, failed 0, running 0, waiting for unplug 3"), std::string::npos) << err.str();
  // The summary has a row for each logger.
  EXPECT_NE(out.str().find("Installed"), std::string::npos);
}

TEST_F(BenchRun, ALoggerLeftPluggedInIsNotUpdatedTwice) {
  const std::string port = bench.plug("ttyUSB0");
  start();
  ASSERT_TRUE(waitFor([&] { return bench.jobsEnded() == 1; }));
  // Many polls and settle times later it is still the one job.
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(bench.jobsEnded(), 1);
  cancel->cancel();
  const TBenchResult r = result();
  ASSERT_EQ(r.loggers.size(), 1u);
  EXPECT_EQ(r.loggers[0].outcome.record.exitStatus, 0);
  EXPECT_EQ(bench.stats(port).erases, 1);
  // Stopped after every logger was updated: all is well.
  EXPECT_EQ(r.exitStatus, kExitSuccess);
}

TEST_F(BenchRun, ALoggerPluggedInAgainAfterAnUnplugIsUpdatedAgain) {
  settings.expect = 2;
  const std::string port = bench.plug("ttyUSB0");
  start();
  ASSERT_TRUE(waitFor([&] { return bench.jobsEnded() == 1; }));
  bench.pull(port);
  std::this_thread::sleep_for(300ms);  // several polls: the bench sees it gone
  bench.plug("ttyUSB0");
  const TBenchResult r = result();
  EXPECT_EQ(r.exitStatus, kExitSuccess);
  ASSERT_EQ(r.loggers.size(), 2u);
  for (const TBenchLogger& logger : r.loggers) {
    EXPECT_EQ(logger.identity.port, port);
    EXPECT_EQ(logger.outcome.record.exitStatus, 0);
  }
  EXPECT_EQ(bench.stats(port).erases, 1);  // the second logger, updated once
}

TEST_F(BenchRun, ALoggerSwappedFasterThanTheBenchLooksIsToldByItsSerialNumber) {
  settings.expect = 2;
  settings.pollEvery = 1s;  // the swap falls between two looks
  const std::string port = bench.plug("ttyUSB0");
  start();
  ASSERT_TRUE(waitFor([&] { return bench.jobsEnded() == 1; }));
  bench.swap("ttyUSB0", "another");
  const TBenchResult r = result();
  EXPECT_EQ(r.exitStatus, kExitSuccess);
  ASSERT_EQ(r.loggers.size(), 2u);
  EXPECT_EQ(r.loggers[1].identity.serialNumber, "another");
  EXPECT_EQ(r.loggers[1].outcome.record.exitStatus, 0);
  EXPECT_EQ(bench.stats(port).erases, 1);
}

TEST_F(BenchRun, ALoggerPulledMidUpdateFailsAndTheExpectedRunExits80) {
  settings.expect = 2;
  const std::string good = bench.plug("ttyUSB0");
  const std::string pulled = bench.plug("ttyUSB1");
  start();
  ASSERT_TRUE(waitFor([&] { return bench.stats(pulled).erases > 0; }));
  bench.pull(pulled);
  const TBenchResult r = result();

  EXPECT_EQ(r.exitStatus, kExitSomeFailed);
  ASSERT_EQ(r.loggers.size(), 2u);
  std::map<std::string, TPortRecord> records;
  for (const TBenchLogger& logger : r.loggers) records[logger.identity.port] = logger.outcome.record;
  EXPECT_EQ(records[good].exitStatus, 0);
  EXPECT_NE(records[pulled].exitStatus, 0);
  EXPECT_NE(records[pulled].exitStatus, err::Cancelled);
  EXPECT_EQ(count(pulled + ": failed (status " + std::to_string(records[pulled].exitStatus) + "), unplug it"), 1)
      << err.str();
}

TEST_F(BenchRun, APortThatFlickersOrDoesNotPassTheFilterIsNeverOpened) {
  settings.settle = 2s;
  settings.filters = {*parsePortFilter("0403:6001")};
  const std::string other = bench.plug("ttyACM0", "2341");  // another maker's device
  start();
  const std::string flicker = bench.plug("ttyUSB0");
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(bench.stats(flicker).exchanges, 0);
  bench.pull(flicker);
  std::this_thread::sleep_for(2500ms);  // the other port stood longer than the settle time
  cancel->cancel();
  const TBenchResult r = result();
  EXPECT_TRUE(r.loggers.empty());
  EXPECT_EQ(bench.stats(other).exchanges, 0);
  EXPECT_EQ(r.exitStatus, err::Cancelled);  // stopped before any logger
}

TEST_F(BenchRun, ACancelStopsTheRunningJobsAndTakesNoNewPorts) {
  const std::string first = bench.plug("ttyUSB0");
  start();
  ASSERT_TRUE(waitFor([&] { return bench.stats(first).exchanges > 0; }));
  cancel->cancel();
  const std::string late = bench.plug("ttyUSB1");
  const TBenchResult r = result();
  ASSERT_EQ(r.loggers.size(), 1u);
  EXPECT_EQ(r.loggers[0].outcome.record.exitStatus, err::Cancelled);
  EXPECT_EQ(r.exitStatus, kExitSomeFailed);
  EXPECT_EQ(bench.stats(late).exchanges, 0);
}

struct TFilterCase {
  std::string text;
  bool valid;
  std::string vendor, product, serial;
};

TEST(PortFilter, ReadsVendorProductAndSerial) {
  const std::vector<TFilterCase> cases = {
      {"0403:6001", true, "0403", "6001", ""},
      {"0403:6001:A10K3XQZ", true, "0403", "6001", "A10K3XQZ"},
      {"10C4:EA60", true, "10c4", "ea60", ""},
      {"0403", false, "", "", ""},
      {"403:6001", false, "", "", ""},
      {"0403:60010", false, "", "", ""},
      {"04g3:6001", false, "", "", ""},
      {"0403:6001:", false, "", "", ""},
      {"", false, "", "", ""},
  };
  for (const TFilterCase& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<TPortFilter> filter = parsePortFilter(c.text);
    ASSERT_EQ(filter.has_value(), c.valid);
    if (!filter) continue;
    EXPECT_EQ(filter->vendorId, c.vendor);
    EXPECT_EQ(filter->productId, c.product);
    EXPECT_EQ(filter->serialNumber, c.serial);
  }
}

TEST(PortFilter, MatchesTheUsbIdentity) {
  TUsbPortIdentity ftdi{"/dev/ttyUSB0", "0403", "6001", "FTDI", "FT232R", "A10K3XQZ", {}};
  TUsbPortIdentity noSerial{"COM7", "0403", "6001", "", "", "", {}};
  TUsbPortIdentity arduino{"/dev/ttyACM0", "2341", "0043", "", "Uno", "", {}};
  const std::vector<TPortFilter> byId = {*parsePortFilter("0403:6001")};
  const std::vector<TPortFilter> bySerial = {*parsePortFilter("0403:6001:A10K3XQZ")};
  const std::vector<TPortFilter> twoMakers = {*parsePortFilter("0403:6001:OTHER"), *parsePortFilter("2341:0043")};
  EXPECT_TRUE(portPassesFilters(arduino, {}));  // no filter: every port
  EXPECT_TRUE(portPassesFilters(ftdi, byId));
  EXPECT_FALSE(portPassesFilters(arduino, byId));
  EXPECT_TRUE(portPassesFilters(ftdi, bySerial));
  EXPECT_FALSE(portPassesFilters(noSerial, bySerial));  // no serial number: not that one
  EXPECT_FALSE(portPassesFilters(ftdi, twoMakers));
  EXPECT_TRUE(portPassesFilters(arduino, twoMakers));
  TUsbPortIdentity upperCase = ftdi;
  upperCase.vendorId = "0403";
  upperCase.productId = "60AB";
  EXPECT_TRUE(portPassesFilters(upperCase, {*parsePortFilter("0403:60ab")}));
}

}  // namespace
}  // namespace kelvry::cli
