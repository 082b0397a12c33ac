// The POSIX serial transport on a pseudo-terminal: what the link sees,
// reasons for every failure, and a cancel that ends a read at once.

#include "serial/posix_transport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "tests/serial/pseudo_terminal.h"

namespace kelvry::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(PosixTransport, MovesBytesBothWays) {
  TPseudoTerminal line;
  TCancelToken cancel;
  TPosixSerialTransport port(cancel);
  ASSERT_TRUE(port.open(line.slavePath(), 9600)) << port.lastFailure().reason;
  const uint8_t request[] = {0x81, 0, 0, 0, 0, 0, 0, 0xAA};
  size_t written = 0;
  ASSERT_TRUE(port.write(request, sizeof request, written));
  EXPECT_EQ(written, sizeof request);
  EXPECT_EQ(line.receive(8, 1s), std::vector<uint8_t>(std::begin(request), std::end(request)));

  line.send({1, 2, 3});
  uint8_t reply[8] = {};
  size_t received = 0;
  ASSERT_TRUE(port.read(reply, 3, received, 500ms));
  EXPECT_EQ(received, 3u);
  EXPECT_EQ(reply[2], 3);
}

TEST(PosixTransport, ReadWaitsItsTimeOutForMissingBytes) {
  TPseudoTerminal line;
  TCancelToken cancel;
  TPosixSerialTransport port(cancel);
  ASSERT_TRUE(port.open(line.slavePath(), 9600));
  uint8_t reply[8] = {};
  size_t received = 0;
  const auto started = Clock::now();
  ASSERT_TRUE(port.read(reply, 8, received, 150ms));
  const auto elapsed = Clock::now() - started;
  EXPECT_EQ(received, 0u);
  EXPECT_GE(elapsed, 140ms);
  EXPECT_LT(elapsed, 1000ms);
}

TEST(PosixTransport, CancelEndsAReadAtOnceAndAnEarlierCancelAtTheStart) {
  TPseudoTerminal line;
  TCancelToken cancel;
  TPosixSerialTransport port(cancel);
  ASSERT_TRUE(port.open(line.slavePath(), 9600));
  uint8_t reply[139] = {};
  size_t received = 0;
  std::thread canceller([&] {
    std::this_thread::sleep_for(50ms);
    cancel.cancel();
  });
  auto started = Clock::now();
  ASSERT_TRUE(port.read(reply, sizeof reply, received, 5000ms));
  EXPECT_LT(Clock::now() - started, 50ms + 200ms);
  canceller.join();

  started = Clock::now();
  ASSERT_TRUE(port.read(reply, sizeof reply, received, 5000ms));
  EXPECT_LT(Clock::now() - started, 200ms);
  EXPECT_EQ(received, 0u);
}

TEST(PosixTransport, FailuresKeepTheirReason) {
  TCancelToken cancel;
  TPosixSerialTransport missing(cancel);
  EXPECT_FALSE(missing.open("/dev/kelvry-no-such-port", 9600));
  EXPECT_EQ(missing.lastFailure().operation, "open");
  EXPECT_EQ(missing.lastFailure().errorNumber, ENOENT);
  EXPECT_EQ(missing.lastFailure().reason, "No such file or directory");

  TPseudoTerminal line;
  TPosixSerialTransport port(cancel);
  ASSERT_TRUE(port.open(line.slavePath(), 9600));
  line.hangUp();
  uint8_t reply[8] = {};
  size_t received = 0;
  EXPECT_FALSE(port.read(reply, 8, received, 200ms));
  EXPECT_EQ(port.lastFailure().operation, "read");
  EXPECT_EQ(port.lastFailure().reason, "Input/output error");
}

}  // namespace
}  // namespace kelvry::test
