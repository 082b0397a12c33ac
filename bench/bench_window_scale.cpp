// A case of N virtual loggers in the bench window, offscreen: the wall time
// from Start until the case report is written, and how much of it the
// window's thread spent working (its CPU time over the wall time), for one
// logger against 64. The loggers answer at once, so the wall time is the
// job's fixed pauses plus what the bench itself adds.
//
//   build/bench/kelvry_bench_window_scale [N ...]     (default: 1 64)

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QTest>

#include "driver/simulated_bench.h"
#include "ui/bench/bench_window.h"

namespace {

double threadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void measure(int loggers) {
  using namespace std::chrono;
  kelvry::TSimulatedBench bench(loggers, {}, milliseconds(1));
  kelvry::TBenchWindowSetup setup;
  setup.ports = &bench;
  setup.environmentFor = [&](const std::string& port) { return bench.environmentFor(port); };
  setup.arguments.yes = true;
  setup.arguments.expect = loggers;
  setup.arguments.logDir = std::string();  // no records: only the window is measured
  setup.settle = milliseconds(100);
  const double cpuBefore = threadCpuSeconds();
  const auto start = steady_clock::now();
  kelvry::TfrmBench window(setup);
  window.show();
  const bool done = QTest::qWaitFor([&] { return !window.isRunning() && !window.caseReportText().empty(); },
                                    600'000);
  const double wall = duration<double>(steady_clock::now() - start).count();
  const double cpu = threadCpuSeconds() - cpuBefore;
  std::printf("%3d loggers: %s in %.1f s, window thread busy %.1f %% (%.2f s of CPU)\n", loggers,
              done ? "all done" : "NOT DONE", wall, 100.0 * cpu / wall, cpu);
}

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 64};
  for (int loggers : counts) measure(loggers);
  return 0;
}
