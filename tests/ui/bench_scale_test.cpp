// A case of 64 virtual loggers at once: every one is updated and told, and
// the window's thread keeps answering while they run. How fast and how busy
// is measured in bench/ (bench_window_scale); here only generous bounds.

#include <algorithm>
#include <chrono>

#include <QElapsedTimer>
#include <QTimer>

#include "driver/simulated_bench.h"
#include "tests/ui/bench_window_fixture.h"

namespace kelvry::test {
namespace {

using namespace std::chrono_literals;

using BenchScale = TBenchWindowTest;

TEST_F(BenchScale, SixtyFourLoggersAreEachUpdatedAndTheWindowKeepsAnswering) {
  TSimulatedBench loggers(64, shortImageFile(), 10ms);
  setup.environmentFor = [&](const std::string& port) { return loggers.environmentFor(port); };
  setup.arguments.yes = true;
  setup.arguments.expect = 64;
  setup.redrawEvery = 200ms;
  open(loggers);

  // A tick every 50 ms on the window's thread: the longest gap tells how
  // long the thread was kept from its events.
  QElapsedTimer sinceTick;
  qint64 longestGap = 0;
  QTimer ticks;
  QObject::connect(&ticks, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.restart());
  });
  sinceTick.start();
  ticks.start(50);

  ASSERT_TRUE(waitUntil([&] { return !window->isRunning() && !window->caseReportText().empty(); }, 240));
  ticks.stop();
  EXPECT_EQ(window->tblFinished->rowCount(), 64);
  EXPECT_TRUE(window->lblCounts->text().startsWith("Updated 64, failed 0")) << window->lblCounts->text().toStdString();
  EXPECT_TRUE(window->lblCounts->text().endsWith("64 of 64"));
  EXPECT_LT(longestGap, 2000) << "the window's thread was held for " << longestGap << " ms";
}

}  // namespace
}  // namespace kelvry::test
