// The logger on its pseudo-terminal: delivery in pieces, ports opened and
// closed between jobs, snapshots while it runs, flash file, shutdown.

#include "tools/logger_sim/pty_logger.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

#include "tests/tools/running_logger.h"

namespace kelvry::sim::test {
namespace {

void sendInPieces(TSlavePort& port, const std::string& message, size_t pieceLength) {
  for (size_t at = 0; at < message.size(); at += pieceLength) {
    port.send(message.substr(at, pieceLength));
    std::this_thread::sleep_for(10ms);
  }
}

TEST(PtyLogger, PortIsACharacterDevice) {
  TPtyLogger logger;
  struct stat info {};
  ASSERT_EQ(::stat(logger.portPath().c_str(), &info), 0);
  EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(PtyLogger, MessagesDeliveredInPieces) {
  TRunningLogger sim(bootloaderConfig());
  for (const size_t piece : {1u, 3u, 5u}) {
    SCOPED_TRACE(piece);
    sendInPieces(sim.port, identityQuery(), piece);
    EXPECT_EQ(decodeIdentity(sim.port.receive(8)).cls, 0xC802);
    sendInPieces(sim.port, ":0100000520DA", piece);
    EXPECT_EQ(sim.port.receive(23).size(), 23u);
  }
}

TEST(PtyLogger, MessageCutShortIsForgottenAfterAPause) {
  TLoggerConfig config;
  config.partialMessageTimeoutMs = 100;
  TRunningLogger sim(config);
  sim.port.send(identityQuery().substr(0, 5));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(decodeIdentity(sim.port.exchange(identityQuery(), 8)).cls, 0x6617);
  EXPECT_EQ(sim.logger.stats().exchanges, 1);
}

TEST(PtyLogger, NoiseBetweenMessagesIsSkipped) {
  TRunningLogger sim;
  EXPECT_EQ(decodeIdentity(sim.port.exchange("\r\nnoise " + identityQuery(), 8)).cls, 0x6617);
  EXPECT_EQ(sim.logger.stats().exchanges, 1);
}

void waitForExchanges(const TPtyLogger& logger, int count) {
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (logger.stats().exchanges < count && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
}

TEST(PtyLogger, PortReopenedForEveryJob) {
  TPtyLogger logger(bootloaderConfig());
  for (int job = 0; job < 3; ++job) {
    SCOPED_TRACE(job);
    TSlavePort port(logger.portPath());
    port.purge();  // drops the reply the previous job left unread
    const TIdentity id = decodeIdentity(port.exchange(identityQuery(), 8));
    EXPECT_TRUE(id.checksumRight);
    EXPECT_EQ(id.cls, 0xC802);
    port.send(":0100000520DA");  // its reply is never read
    waitForExchanges(logger, 2 * (job + 1));
  }
  EXPECT_EQ(logger.stats().identityQueries, 3);
}

TEST(PtyLogger, SnapshotsWhileProgramming) {
  TRunningLogger sim(bootloaderConfig());
  std::atomic<bool> done{false};
  std::thread observer([&] {
    int lastSeen = 0;
    while (!done) {
      const int programmed = sim.logger.stats().recordsProgrammed;
      EXPECT_GE(programmed, lastSeen);
      lastSeen = programmed;
      EXPECT_FALSE(sim.logger.flashLines().empty());
    }
  });
  const std::vector<std::string> lines = imageLines(1);
  const int identical = programAndStart(sim.port, lines);
  done = true;
  observer.join();
  EXPECT_EQ(identical, static_cast<int>(lines.size()));
}

TEST(PtyLogger, WritesTheFlashToAFile) {
  TRunningLogger sim(bootloaderConfig());
  const std::vector<std::string> all = imageLines(3);
  sim.port.exchange(commandRecord(0, 0x31), 13);
  programLines(sim.port, {all[1], all[0]});

  const std::string path = ::testing::TempDir() + "kelvry_sim_flash.hex";
  ASSERT_TRUE(sim.logger.writeFlash(path));
  std::ifstream in(path);
  std::vector<std::string> written;
  for (std::string line; std::getline(in, line);) written.push_back(line);
  std::remove(path.c_str());
  EXPECT_EQ(written, (std::vector<std::string>{all[0], all[1], ":00000001FF"}));
  EXPECT_FALSE(sim.logger.writeFlash("/nonexistent-dir/flash.hex"));
}

TEST(PtyLogger, StopEndsTheAnswersAndMayBeRepeated) {
  TRunningLogger sim;
  sim.logger.stop();
  sim.logger.stop();
  EXPECT_EQ(sim.port.exchange(identityQuery(), 8, 200ms), "");
}

TEST(PtyLogger, DestroyedWhileAReplyIsPaced) {
  TLoggerConfig config = bootloaderConfig();
  config.faults.baud = 300;  // the update-ID block would take seconds
  const auto begin = std::chrono::steady_clock::now();
  {
    TRunningLogger sim(config);
    sim.port.send(":01006005306A");
    sim.port.receive(1, 1000ms);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 3000ms);
}

}  // namespace
}  // namespace kelvry::sim::test
