// Measures updating several virtual loggers at once, as kelvry-update-cli
// does with several ports: for 1, 4 and 16 loggers at an emulated baud rate,
// the wall time of the whole run against one logger alone, the CPU time per
// logger of the tool (this process) and of the virtual loggers (separate
// kelvry-logger-sim processes, so their work is not counted as the tool's),
// and the tool's peak resident memory. Each run is a fresh process, so its
// peak memory is its own.
//
// Run: build/bench/kelvry_fleet_bench [BAUD [N ...]]   (default 115200 1 4 16;
// docs/benchmarks.md has the figures, and one run at 9600 baud)

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/update/update_run.h"
#include "waits/cancel_token.h"

namespace kelvry {
namespace {

struct TSimProcess {
  pid_t pid = -1;
  std::string port;
};

// Starts kelvry-logger-sim and reads the port it prints first.
TSimProcess startSim(int baud) {
  int out[2];
  if (pipe(out) != 0) throw std::runtime_error("pipe");
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    const std::string rate = std::to_string(baud);
    execl(KELVRY_LOGGER_SIM, KELVRY_LOGGER_SIM, "--quiet", "--baud", rate.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  TSimProcess sim{pid, {}};
  char c = 0;
  while (read(out[0], &c, 1) == 1 && c != '\n') sim.port += c;
  close(out[0]);
  if (sim.port.empty()) throw std::runtime_error("kelvry-logger-sim printed no port");
  return sim;
}

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double cpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// One run of `loggers` loggers; prints its row and writes its wall time to
// `report`. Runs in its own process.
int measure(int baud, int loggers, int report) {
  std::vector<TSimProcess> sims;
  cli::TRunSettings settings;
  settings.job.maxRepeats = 0;
  for (int i = 0; i < loggers; ++i) {
    sims.push_back(startSim(baud));
    settings.output.ports.push_back(sims.back().port);
  }
  auto cancel = std::make_shared<TCancelToken>();
  std::ostream nowhere(nullptr);
  const double cpuBefore = cpuSeconds(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  std::ostream& out = std::getenv("FLEET_BENCH_OUT") ? std::cout : nowhere;
  const cli::TRunResult result = cli::runPorts(settings, cancel, out, nowhere);
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double toolCpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
  for (const TSimProcess& sim : sims) {
    kill(sim.pid, SIGINT);
    waitpid(sim.pid, nullptr, 0);
  }
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  int failed = 0;
  for (const TPortOutcome& port : result.ports) failed += port.record.exitStatus != 0;
  std::printf("%7d %9.1f %14.3f %14.3f %11.1f %7d\n", loggers, wall, toolCpu / loggers,
              cpuSeconds(RUSAGE_CHILDREN) / loggers, static_cast<double>(self.ru_maxrss) / 1024, failed);
  std::fflush(stdout);
  if (write(report, &wall, sizeof wall) != sizeof wall) return 1;
  return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace kelvry

int main(int argc, char** argv) {
  const int baud = argc > 1 ? std::atoi(argv[1]) : 115200;
  std::vector<int> counts;
  for (int i = 2; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1, 4, 16};
  std::printf("complete updates (2273 lines) at an emulated %d baud\n", baud);
  std::printf("%7s %9s %14s %14s %11s %7s\n", "loggers", "wall s", "tool CPU s/lg", "sim CPU s/lg", "peak RSS MB",
              "failed");
  std::fflush(stdout);
  int status = 0;
  std::vector<double> walls;
  for (int loggers : counts) {
    int report[2];
    if (pipe(report) != 0) return 1;
    const pid_t child = fork();
    if (child == 0) _exit(kelvry::measure(baud, loggers, report[1]));
    close(report[1]);
    double wall = 0;
    if (read(report[0], &wall, sizeof wall) == sizeof wall) walls.push_back(wall);
    close(report[0]);
    int childStatus = 0;
    waitpid(child, &childStatus, 0);
    if (!WIFEXITED(childStatus) || WEXITSTATUS(childStatus) != 0) status = 1;
  }
  for (size_t i = 1; i < walls.size() && i < counts.size(); ++i)
    std::printf("%d loggers at once take %.3f times as long as %d alone\n", counts[i], walls[i] / walls[0],
                counts[0]);
  return status;
}
