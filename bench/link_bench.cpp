// Measures what the host adds to the serial line's own time:
//  - the round trip of one 64-byte record exchange over a pseudo-terminal
//    with a virtual logger that answers at once (median and p99),
//  - the CPU time the job spends on a complete update, over a
//    pseudo-terminal and through the in-memory transport in virtual time
//    (with the allocations per exchange),
//  - a short update at emulated 9600 baud against its pure wire time.
// Then Google Benchmark times the codec and the checksums.
//
// Run: build/bench/kelvry_bench   (figures in docs/benchmarks.md)

// The replaced operator new counts allocations; GCC takes the free() of the
// matching operator delete for a mismatch once both are inlined.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <mutex>
#include <vector>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/checksums.h"
#include "engine/comm_link.h"
#include "engine/status_codes.h"
#include "engine/update_job.h"
#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"
#include "serial/platform_transport.h"
#include "serial/posix_transport.h"
#include "tests/support/recording_sink.h"
#include "tests/support/test_sources.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/pty_logger.h"
#include "tools/logger_sim/virtual_clock.h"

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

// Every allocation of the process, to count them around one update.
std::atomic<uint64_t> allocations{0};

// Runs the update job on this thread and returns its CPU time; `result`
// tells how it ended.
double timedJob(const TUpdateRequest& request, const TJobEnvironment& environment, TJobResult& result) {
  TRecordingSink sink;
  std::atomic<int32_t> selected{-1};
  const double start = threadCpuSeconds();
  result = runUpdateJob(request, environment, sink, selected);
  return threadCpuSeconds() - start;
}

// The real serial line on the real clock, as a front end hands it down: an
// empty environment has no line to open.
TJobEnvironment serialLine() { return {.makeTransport = makePlatformTransport, .clock = nullptr}; }

TUpdateRequest requestFor(const std::string& port) {
  TUpdateRequest request;
  request.sPort = port;
  return request;
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
  TCancelToken cancel;
  TPosixSerialTransport port(cancel);
  if (!port.open(logger.portPath(), 9600)) {
    std::printf("exchange round trip: FAILED to open %s\n", logger.portPath().c_str());
    return;
  }
  TCommLink link(port, steadyClock(), cancel);
  const std::string line = test::dataRecord(0x0200);
  std::vector<double> micros;
  try {
    link.sendRecordRetry(":0100000531C9", 1, true);  // erase first, as a job does
    for (int i = 0; i < 2000; ++i) {
      const auto start = Clock::now();
      link.sendRecordRetry(line, 64, true);
      micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
  } catch (const std::exception&) {
    std::printf("exchange round trip: FAILED\n");
    return;
  }
  const double median = percentile(micros, 0.5);
  const double p99 = percentile(micros, 0.99);
  const double wire = wireSeconds(139 + 139, 9600) * 1e6;
  std::printf("%-48s %12.1f us  (%.3f%% of its %.1f ms wire time at 9600 baud)\n",
              "64-byte exchange, host + pty, median", median, 100 * median / wire, wire / 1000);
  std::printf("%-48s %12.1f us  (%.3f%%)\n", "64-byte exchange, host + pty, p99", p99, 100 * p99 / wire);
}

void fullUpdateCpu() {
  sim::TPtyLogger logger;  // application running, built-in image 4
  TJobResult result;
  const auto start = Clock::now();
  const double cpu = timedJob(requestFor(logger.portPath()), serialLine(), result);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (result.final.code != ntf::JobDone) {
    std::printf("full update: FAILED\n");
    return;
  }
  std::printf("%-48s %12.3f s   (wall %.2f s with 4.7 s of fixed pauses)\n",
              "full update (2273 lines) over pty, job CPU time", cpu, wall);
}

void fullUpdateInMemory() {
  sim::TMemoryLogger logger;
  sim::TVirtualClock clock;
  const TJobEnvironment environment{
      .makeTransport = [&](const TCancelToken& cancel) { return logger.connect(clock, cancel); },
      .clock = &clock,
  };
  TJobResult result;
  const uint64_t allocationsBefore = allocations.load();
  const auto start = Clock::now();
  const double cpu = timedJob(requestFor("memory"), environment, result);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const uint64_t allocated = allocations.load() - allocationsBefore;
  if (result.final.code != ntf::JobDone) {
    std::printf("full update in memory: FAILED\n");
    return;
  }
  const int exchanges = logger.stats().exchanges;
  std::printf("%-48s %12.3f s   (wall %.3f s, %.1f s of virtual time)\n",
              "full update (2273 lines) in memory, CPU time", cpu, wall,
              static_cast<double>(clock.elapsed().count()) / 1000);
  std::printf("%-48s %12.1f     (%d exchanges, logger side included)\n", "allocations per exchange",
              static_cast<double>(allocated) / exchanges, exchanges);
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

  auto file = std::make_shared<TUpdateFile>();
  file->header.tarvo_class = 26135;
  file->header.tarvo_platform = 15;
  file->header.tarvo_print = 56;
  file->header.tarvo_bl = 3;
  file->lines = lines;
  TUpdateRequest request = requestFor(logger.portPath());
  request.sources = TFirmwareSources(std::move(file));

  TJobResult result;
  const auto start = Clock::now();
  timedJob(request, serialLine(), result);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  if (result.final.code != ntf::JobDone) {
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
  const TFirmwareSources sources;
  std::string line;
  int32_t i = 0;
  for (auto _ : state) {
    sources.getFirmwareLine(4, i, line);
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
  kelvry::fullUpdateInMemory();
  kelvry::shortUpdateAtWireSpeed();
  std::printf("\n");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

void* operator new(std::size_t size) {
  kelvry::allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
