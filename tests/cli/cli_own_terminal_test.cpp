// The real kelvry-update-cli run in a terminal and told to use that very
// terminal as the logger's port: it must refuse with a clear reason and leave
// the terminal as the user had it (no binary frames, no raw 9600-baud line).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <string>

namespace kelvry {
namespace {

struct TTerminalRun {
  int exitCode = -1;
  std::string screen;  // everything the program wrote to its terminal
  termios after{};     // the terminal's settings once it ended
};

// Runs the program with a new pseudo-terminal as its controlling terminal
// and standard streams, as a user's shell would.
TTerminalRun runInTerminal(const char* port) {
  const QTemporaryDir config;
  TTerminalRun run;
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    alarm(30);
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    execl(KELVRY_UPDATE_CLI, KELVRY_UPDATE_CLI, "--port", port, "--yes", "--max-repeats", "0", nullptr);
    _exit(127);
  }
  EXPECT_GT(child, 0);
  if (child <= 0) return run;
  // A second descriptor of the terminal, to read its settings after the end.
  const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
  // The terminal stays open through `slave`, so the end of the program shows
  // in its exit, not in the terminal.
  char buffer[4096];
  int status = 0;
  bool ended = false;
  for (int waited = 0; !ended && waited < 300; ++waited) {
    ended = waitpid(child, &status, WNOHANG) == child;
    pollfd wait{master, POLLIN, 0};
    while (poll(&wait, 1, ended ? 0 : 100) > 0) {
      const ssize_t got = read(master, buffer, sizeof buffer);
      if (got <= 0) break;
      run.screen.append(buffer, static_cast<size_t>(got));
    }
  }
  if (!ended) {
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
  }
  run.exitCode = ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  tcgetattr(slave, &run.after);
  close(slave);
  close(master);
  return run;
}

class CliOwnTerminal : public ::testing::TestWithParam<const char*> {};

TEST_P(CliOwnTerminal, IsRefusedAsThePortAndKeepsItsSettings) {
  const TTerminalRun run = runInTerminal(GetParam());
  EXPECT_EQ(run.exitCode, 10) << run.screen;
  EXPECT_NE(run.screen.find("is the terminal this program runs in"), std::string::npos) << run.screen;
  // Still a terminal for people: canonical input with echo and signals, and
  // the speed a new terminal has, not the logger's.
  EXPECT_EQ(run.after.c_lflag & (ICANON | ECHO | ISIG), tcflag_t{ICANON | ECHO | ISIG});
  EXPECT_NE(cfgetospeed(&run.after), B9600);
}

INSTANTIATE_TEST_SUITE_P(Names, CliOwnTerminal, ::testing::Values("/dev/tty", "tty"));

}  // namespace
}  // namespace kelvry
