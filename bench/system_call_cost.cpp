// What one system call and one wake-up cost on this machine, measured
// directly: tight loops of a million calls in all, each batch between two
// clock_gettime readings, nothing traced. A tracer (strace) stops the
// process at every call and multiplies its cost by ten or more, so its
// figures say nothing about what an untraced update spends.
//
// Prints, per call:
//  - clock_gettime itself (answered in user space by the vDSO, the floor),
//  - getppid (the bare entry into the kernel and back),
//  - the calls one exchange with the logger makes on a pseudo-terminal:
//    poll with a zero time-out, a read that finds nothing, tcflush, a write,
// and, per wake-up, the wall and CPU time of a thread that sleeps in poll
// and is woken by another (a ping-pong over two pipes, and bytes a couple of
// milliseconds apart, as replies come off a line), which is what a reply
// arriving costs the process.
//
// Run: build/bench/kelvry_system_call_cost [CALLS]   (default 1000000)

#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

double seconds(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// Runs `call` `count` times in batches of a thousand and prints the wall
// time per call of the fastest batch and of the median one. A batch lasts a
// millisecond or so, shorter than a time slice: on a busy machine most
// batches still run undisturbed, and the fastest one is the call's own cost.
// The median batch shows what the load adds (other processes' turns, and
// the host's, which the thread's CPU clock of a virtual machine may not see).
void timePerCall(const char* name, long count, const std::function<void()>& call) {
  constexpr long perBatch = 1000;
  const long batches = std::max(1L, count / perBatch);
  call();  // the first call may fault pages in
  std::vector<double> perCall;
  for (long b = 0; b < batches; ++b) {
    const double start = seconds(CLOCK_MONOTONIC);
    for (long i = 0; i < perBatch; ++i) call();
    perCall.push_back((seconds(CLOCK_MONOTONIC) - start) / static_cast<double>(perBatch) * 1e6);
  }
  std::sort(perCall.begin(), perCall.end());
  std::printf("  %-44s %8.3f %8.3f\n", name, perCall.front(), perCall[perCall.size() / 2]);
}

int check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string(what) + " failed");
  return result;
}

// A pseudo-terminal pair in raw mode, as the serial port is set up.
struct TPseudoTerminal {
  int master = -1;
  int slave = -1;

  TPseudoTerminal() {
    master = check(posix_openpt(O_RDWR | O_NOCTTY), "posix_openpt");
    check(grantpt(master), "grantpt");
    check(unlockpt(master), "unlockpt");
    slave = check(open(ptsname(master), O_RDWR | O_NOCTTY | O_NONBLOCK), "open pts");
    termios settings{};
    check(tcgetattr(slave, &settings), "tcgetattr");
    cfmakeraw(&settings);
    check(tcsetattr(slave, TCSANOW, &settings), "tcsetattr");
  }
  ~TPseudoTerminal() {
    close(slave);
    close(master);
  }
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;
};

void perCallCosts(long count) {
  std::printf("Per call (%ld calls each)                       best us median us\n", count);
  timespec ts{};
  timePerCall("clock_gettime (vDSO, no kernel entry)", count,
              [&] { clock_gettime(CLOCK_MONOTONIC, &ts); });
  timePerCall("getppid", count, [] { syscall(SYS_getppid); });

  TPseudoTerminal pty;
  pollfd line{pty.slave, POLLIN, 0};
  timePerCall("poll, zero time-out, pseudo-terminal", count, [&] { poll(&line, 1, 0); });
  char byte = 0;
  timePerCall("read of an empty pseudo-terminal (EAGAIN)", count,
              [&] { [[maybe_unused]] auto n = read(pty.slave, &byte, 1); });
  timePerCall("tcflush of its input", count, [&] { tcflush(pty.slave, TCIFLUSH); });

  // The master side drains what is written so that the writes never block.
  char record[64]{};
  const long writes = count / 10;
  char drain[4096];
  timePerCall("write of 64 bytes (the other side drained)", writes, [&] {
    [[maybe_unused]] auto w = write(pty.slave, record, sizeof record);
    [[maybe_unused]] auto r = read(pty.master, drain, sizeof drain);
  });
  std::printf("  (the last line is a write and a read on the other side)\n");
}

// One thread sleeps in poll on a pipe until the other writes a byte, then
// answers on a second pipe: every round trip is two wake-ups, each with a
// poll, a read and a write around it.
void wakeUpCosts(long roundTrips) {
  int there[2];
  int back[2];
  check(pipe(there), "pipe");
  check(pipe(back), "pipe");
  auto echo = [](int in, int out, long times) {
    char byte = 0;
    pollfd wait{in, POLLIN, 0};
    for (long i = 0; i < times; ++i) {
      poll(&wait, 1, -1);
      [[maybe_unused]] auto r = read(in, &byte, 1);
      [[maybe_unused]] auto w = write(out, &byte, 1);
    }
  };
  const double wallStart = seconds(CLOCK_MONOTONIC);
  const double cpuStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
  std::thread partner(echo, there[0], back[1], roundTrips);
  char byte = 'x';
  pollfd wait{back[0], POLLIN, 0};
  for (long i = 0; i < roundTrips; ++i) {
    [[maybe_unused]] auto w = write(there[1], &byte, 1);
    poll(&wait, 1, -1);
    [[maybe_unused]] auto r = read(back[0], &byte, 1);
  }
  partner.join();
  const double wakeUps = 2.0 * static_cast<double>(roundTrips);
  const double wall = seconds(CLOCK_MONOTONIC) - wallStart;
  const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  std::printf("Per wake-up (%.0f wake-ups)                      wall us   CPU us\n", wakeUps);
  std::printf("  %-44s %8.3f %8.3f\n", "a thread asleep in poll, woken by a pipe", wall / wakeUps * 1e6,
              cpu / wakeUps * 1e6);
  std::printf("  (CPU: the whole process per wake-up, the calls around it included)\n");
  for (int fd : {there[0], there[1], back[0], back[1]}) close(fd);
}

// As an update sees it: the line is quiet for a few milliseconds between
// replies, so the sleeper is woken on a core that may have gone idle, with
// its caches cooled by whatever ran meanwhile. One thread writes a byte every
// `gap`; the other sleeps in poll and reads it. Both wake once per byte.
void wakeUpsAfterQuiet(long wakeUps, std::chrono::microseconds gap) {
  int line[2];
  check(pipe(line), "pipe");
  const double cpuStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
  std::thread sleeper([&] {
    char byte = 0;
    pollfd wait{line[0], POLLIN, 0};
    for (long i = 0; i < wakeUps; ++i) {
      poll(&wait, 1, -1);
      [[maybe_unused]] auto r = read(line[0], &byte, 1);
    }
  });
  const char byte = 'x';
  for (long i = 0; i < wakeUps; ++i) {
    std::this_thread::sleep_for(gap);
    [[maybe_unused]] auto w = write(line[1], &byte, 1);
  }
  sleeper.join();
  const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
  const std::string name = "the same, bytes " + std::to_string(gap.count() / 1000) + " ms apart";
  std::printf("  %-44s %8s %8.3f\n", name.c_str(), "-", cpu / (2.0 * wakeUps) * 1e6);
  close(line[0]);
  close(line[1]);
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
  if (count <= 0) {
    std::fprintf(stderr, "usage: %s [CALLS]\n", argv[0]);
    return 2;
  }
  try {
    perCallCosts(count);
    wakeUpCosts(count / 10);
    // An exchange lasts about 30 ms at 115200 baud, about 290 ms at 9600.
    wakeUpsAfterQuiet(1000, std::chrono::milliseconds(2));
    wakeUpsAfterQuiet(200, std::chrono::milliseconds(25));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
