// kelvry-logger-sim as users and scripts run it.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/tools/slave_port.h"

extern char** environ;

namespace kelvry::sim::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The program in a child process: standard output through a pipe, standard
// error into a file.
class TSimProcess {
public:
  explicit TSimProcess(const std::vector<std::string>& args)
      : stderrPath_(::testing::TempDir() + "kelvry_sim_stderr_" + std::to_string(::getpid()) + ".txt") {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, stderrPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> argv = {KELVRY_LOGGER_SIM_EXE};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> raw;
    for (std::string& arg : argv) raw.push_back(arg.data());
    raw.push_back(nullptr);
    const int failed = ::posix_spawn(&pid_, raw[0], &actions, nullptr, raw.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    stdout_ = pipeFds[0];
    if (failed != 0) throw std::runtime_error("posix_spawn");
  }

  ~TSimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
    ::close(stdout_);
    std::remove(stderrPath_.c_str());
  }

  // Everything the program wrote to standard output until it closed it or
  // the time ran out.
  std::string output(std::chrono::milliseconds timeout, bool lineOnly) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string text;
    while (!lineOnly || text.find('\n') == std::string::npos) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd fds = {stdout_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&fds, 1, static_cast<int>(left.count())) <= 0) break;
      char buffer[256];
      const ssize_t got = ::read(stdout_, buffer, sizeof buffer);
      if (got <= 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    return text;
  }

  std::string firstLine() {
    const std::string text = output(5000ms, true);
    return text.substr(0, text.find('\n'));
  }

  // The exit code, or -1 when the program has not ended normally in time.
  int waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(10ms);
    }
    return -1;
  }

  int stopWith(int signal) {
    ::kill(pid_, signal);
    return waitForExit(5000ms);
  }

  std::string errors() const { return readFile(stderrPath_); }

private:
  pid_t pid_ = -1;
  int stdout_ = -1;
  std::string stderrPath_;
};

std::string tempPath(const char* name) { return ::testing::TempDir() + name + std::to_string(::getpid()); }

TEST(LoggerSimProgram, PrintsThePortFirstAndEndsOnSignal) {
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    TSimProcess sim({"--bootloader", "--bl-class", "0xC803"});
    const std::string path = sim.firstLine();
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0) << path;
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    {
      TSlavePort port(path);
      EXPECT_EQ(decodeIdentity(port.exchange(identityQuery(), 8)).cls, 0xC803);
    }
    EXPECT_EQ(sim.stopWith(signal), 0);
    EXPECT_NE(sim.errors().find("identity query"), std::string::npos) << sim.errors();
  }
}

TEST(LoggerSimProgram, QuietWritesTheFlashAtTheEnd) {
  const std::string flashFile = tempPath("kelvry_sim_empty_flash_");
  TSimProcess sim({"--quiet", "--flash-out", flashFile});
  EXPECT_FALSE(sim.firstLine().empty());
  EXPECT_EQ(sim.stopWith(SIGTERM), 0);
  EXPECT_EQ(sim.errors(), "");
  EXPECT_EQ(readFile(flashFile), ":00000001FF\n");
  std::remove(flashFile.c_str());
}

TEST(LoggerSimProgram, WholeUpdateThenEndsByItself) {
  const std::string flashFile = tempPath("kelvry_sim_flash_");
  TSimProcess sim({"--bootloader", "--exit-after-start", "--flash-out", flashFile});
  const std::vector<std::string> lines = imageLines(4);
  {
    TSlavePort port(sim.firstLine());
    ASSERT_EQ(programAndStart(port, lines), static_cast<int>(lines.size()));
    EXPECT_EQ(decodeIdentity(port.exchange(identityQuery(), 8)).cls, 0x6617);
  }
  EXPECT_EQ(sim.waitForExit(5000ms), 0);

  std::string expected;
  for (const std::string& line : lines) expected += line + "\n";
  EXPECT_EQ(readFile(flashFile), expected + ":00000001FF\n");
  EXPECT_NE(sim.errors().find("start: application V2.92 runs"), std::string::npos) << sim.errors();
  std::remove(flashFile.c_str());
}

TEST(LoggerSimProgram, EndsByItselfAfterHangingUp) {
  TSimProcess sim({"--quiet", "--hang-up-at", "1"});
  TSlavePort port(sim.firstLine());
  port.send(identityQuery());
  EXPECT_TRUE(port.seesHangUp());
  EXPECT_EQ(sim.waitForExit(5000ms), 0);
}

TEST(LoggerSimProgram, HelpAndBadOptions) {
  TSimProcess help({"--help"});
  EXPECT_NE(help.output(5000ms, false).find("Usage: kelvry-logger-sim"), std::string::npos);
  EXPECT_EQ(help.waitForExit(5000ms), 0);

  TSimProcess bad({"--baud", "fast"});
  EXPECT_EQ(bad.waitForExit(5000ms), 2);
  EXPECT_EQ(bad.output(100ms, false), "");
  EXPECT_NE(bad.errors().find("--baud"), std::string::npos) << bad.errors();
}

}  // namespace
}  // namespace kelvry::sim::test
