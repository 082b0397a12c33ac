// Measures what the host adds to the serial line's own time:
//  - the round trip of one 64-byte record exchange over a pseudo-terminal
//    with a virtual logger that answers at once (median and p99),
//  - the CPU time the worker spends on a complete update,
//  - a short update at emulated 9600 baud against its pure wire time.
// Then Google Benchmark times the codec and the checksums.
//
// Run: build/bench/kelvry_bench   (see the README)

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <vector>

#include "engine/checksums.h"
#include "engine/comm_thread.h"
#include "engine/job_options.h"
#include "engine/status_codes.h"
#include "engine/update_job.h"
#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_sources.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using Clock = std::chrono::steady_clock;
using test::TRecordingSink;

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Wire time of `bytes` characters at `baud`, 10 bits each (8N1).
double wireSeconds(double bytes, int baud) { return bytes * 10.0 / baud; }

// A worker that times a number of programming-line exchanges.
class TExchangeProbe : public TCommThread {
public:
  using TCommThread::TCommThread;
  static inline int rounds = 0;
  static inline std::vector<double> micros;

protected:
  void doJob() override {
    const std::string line = test::dataRecord(0x0200);
    sendRecordRetry(":0100000531C9", 1, true);  // erase first, as a job does
    micros.clear();
    for (int i = 0; i < rounds; ++i) {
      const auto start = Clock::now();
      sendRecordRetry(line, 64, true);
      micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
  }
};

// The update job, with the CPU time of its thread measured around it.
class TTimedJob : public TBrisolcCommThread {
public:
  using TBrisolcCommThread::TBrisolcCommThread;
  static inline double cpuSeconds = 0;

protected:
  void doJob() override {
    const double start = threadCpuSeconds();
    try {
      TBrisolcCommThread::doJob();
    } catch (...) {
      cpuSeconds = threadCpuSeconds() - start;
      throw;
    }
    cpuSeconds = threadCpuSeconds() - start;
  }
};

template <class Worker>
bool runWorker(sim::TPtyLogger& logger, TRecordingSink& sink) {
  auto worker = createCommThread<Worker>(sink, TCmd::tCMD0, logger.portPath());
  const bool ended = sink.waitForFinal(std::chrono::minutes(30));
  worker.reset();
  return ended && sink.last().code == ntf::JobDone;
}

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  const auto index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[index];
}

void exchangeRoundTrip() {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  sim::TPtyLogger logger(config);
  TRecordingSink sink;
  TExchangeProbe::rounds = 2000;
  if (!runWorker<TExchangeProbe>(logger, sink)) {
    std::printf("exchange round trip: FAILED\n");
    return;
  }
  const double median = percentile(TExchangeProbe::micros, 0.5);
  const double p99 = percentile(TExchangeProbe::micros, 0.99);
  const double wire = wireSeconds(139 + 139, 9600) * 1e6;
  std::printf("%-48s %12.1f us  (%.3f%% of its %.1f ms wire time at 9600 baud)\n",
              "64-byte exchange, host + pty, median", median, 100 * median / wire, wire / 1000);
  std::printf("%-48s %12.1f us  (%.3f%%)\n", "64-byte exchange, host + pty, p99", p99, 100 * p99 / wire);
}

void fullUpdateCpu() {
  sim::TPtyLogger logger;  // application running, built-in image 4
  TRecordingSink sink;
  selectedSource = -1;
  const auto start = Clock::now();
  if (!runWorker<TTimedJob>(logger, sink)) {
    std::printf("full update: FAILED\n");
    return;
  }
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("%-48s %12.3f s   (wall %.2f s with 4.7 s of fixed pauses)\n",
              "full update (2273 lines), worker CPU time", TTimedJob::cpuSeconds, wall);
}

void shortUpdateAtWireSpeed() {
  constexpr int kBaud = 9600;
  std::vector<std::string> lines;
  for (uint16_t block = 0x0200; block < 0x0208; ++block) lines.push_back(test::dataRecord(block));
  lines.push_back(test::dataRecord(test::kVectorBlock));
  const size_t dataLines = lines.size();

  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  config.faults.baud = kBaud;
  config.extraImages.push_back(lines);
  lines.push_back(test::kEndOfFile);
  sim::TPtyLogger logger(config);

  fileHeader = {};
  fileHeader.tarvo_class = 26135;
  fileHeader.tarvo_platform = 15;
  fileHeader.tarvo_print = 56;
  fileHeader.tarvo_bl = 3;
  fileLines = lines;
  selectedSource = 0;

  TRecordingSink sink;
  const auto start = Clock::now();
  const bool ok = runWorker<TBrisolcCommThread>(logger, sink);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (!ok) {
    std::printf("short update at 9600 baud: FAILED\n");
    return;
  }
  // What the host waits for: every exchange with a reply, request and reply
  // both on the wire (identity, info, update-ID, erase, each data line and
  // its echo, the final identity). The wake-ups and the start command are
  // written without waiting, under the fixed pauses.
  const double bytes = 16 + (13 + 23) + (13 + 139) + (13 + 13) + static_cast<double>(dataLines) * 278.0 + 16;
  const double wire = wireSeconds(bytes, kBaud);
  const double pauses = 0.1 + 0.1 + 0.5 + 4.0;
  const double overhead = wall - pauses - wire;
  std::printf("%-48s %12.3f s   (wire %.3f s + pauses %.1f s; host overhead %.3f s = %.2f%% of wire)\n",
              "short update (9 lines) at emulated 9600 baud", wall, wire, pauses, overhead,
              100 * overhead / wire);
}

void BM_HexLineToRecord(benchmark::State& state) {
  THexCodec codec;
  const std::string line = test::dataRecord(0x0300);
  for (auto _ : state) {
    codec.hexLine = line;
    benchmark::DoNotOptimize(codec.hexLineToRecord());
  }
}
BENCHMARK(BM_HexLineToRecord);

void BM_HexRecordToLine(benchmark::State& state) {
  THexCodec codec;
  codec.hexLine = test::dataRecord(0x0300);
  codec.hexLineToRecord();
  for (auto _ : state) benchmark::DoNotOptimize(codec.hexRecordToLine());
}
BENCHMARK(BM_HexRecordToLine);

void BM_Crc8Frame(benchmark::State& state) {
  const uint8_t frame[7] = {0x81, 0, 0, 0, 0, 0, 0};
  for (auto _ : state) benchmark::DoNotOptimize(crc8(frame, 7));
}
BENCHMARK(BM_Crc8Frame);

void BM_CheckHexReply64(benchmark::State& state) {
  const std::string line = test::dataRecord(0x0300);
  for (auto _ : state) benchmark::DoNotOptimize(checkHexReply(line.c_str() + 1, 69));
}
BENCHMARK(BM_CheckHexReply64);

void BM_ImageLineRequest(benchmark::State& state) {
  selectedSource = 4;
  std::string line;
  int32_t i = 0;
  for (auto _ : state) {
    getSelectedLine(i, line);
    i = (i + 1) % 2273;
    benchmark::DoNotOptimize(line.data());
  }
}
BENCHMARK(BM_ImageLineRequest);

}  // namespace
}  // namespace kelvry

int main(int argc, char** argv) {
  std::printf("%-48s %12s\n", "measurement", "result");
  kelvry::exchangeRoundTrip();
  kelvry::fullUpdateCpu();
  kelvry::shortUpdateAtWireSpeed();
  std::printf("\n");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
