// Reading and writing an open port against a far end on a pseudo-terminal:
// the read time-out the link relies on, transparency of every byte value,
// purging, short writes and hang-ups.

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "serial/reply_timeout.h"
#include "serial/serial_port.h"
#include "tests/serial/pseudo_terminal.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

milliseconds since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

class SerialIo : public ::testing::Test {
protected:
  void SetUp() override {
    port = openComPort(line.slavePath(), 9600);
    ASSERT_NE(port, INVALID_PORT_HANDLE);
  }
  void TearDown() override { closeComPort(port); }

  struct TRead {
    bool ok;
    std::vector<uint8_t> bytes;
    milliseconds took;
  };
  TRead readTimed(size_t count) {
    std::vector<uint8_t> bytes(count);
    size_t received = 99;
    const auto start = Clock::now();
    const bool ok = readCommFor(port, bytes.data(), count, received, replyTimeout(count));
    const milliseconds took = since(start);
    bytes.resize(received);
    return {ok, bytes, took};
  }
  // Lets bytes sent by the far end reach this side's input queue.
  static void settle() { std::this_thread::sleep_for(50ms); }

  test::TPseudoTerminal line;
  TPortHandle port = INVALID_PORT_HANDLE;
};

TEST_F(SerialIo, ReadOnASilentLineTimesOutAfter200MsPlusOneMsPerByte) {
  const struct {
    size_t count;
    milliseconds atLeast, atMost;
  } cases[] = {{8, 200ms, 600ms}, {139, 330ms, 800ms}};
  for (const auto& c : cases) {
    const TRead result = readTimed(c.count);
    EXPECT_TRUE(result.ok) << c.count;
    EXPECT_TRUE(result.bytes.empty()) << c.count;
    EXPECT_GE(result.took, c.atLeast) << c.count;
    EXPECT_LE(result.took, c.atMost) << c.count;
  }
}

TEST_F(SerialIo, ReadOfNothingReturnsAtOnce) {
  const TRead result = readTimed(0);
  EXPECT_TRUE(result.ok);
  EXPECT_TRUE(result.bytes.empty());
  EXPECT_LT(result.took, 50ms);
}

TEST_F(SerialIo, ReadReturnsAsSoonAsTheRequestedBytesArrived) {
  const std::vector<uint8_t> reply{0x01, 0x66, 0x17, 0x02, 0x5C, 0x00, 0x00, 0xA7};
  line.send(reply);
  const TRead result = readTimed(reply.size());
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, reply);
  EXPECT_LT(result.took, 100ms);
}

TEST_F(SerialIo, ReadCollectsAReplyArrivingInPiecesWithoutAnInterCharacterTimeout) {
  std::thread farEnd([this] {
    std::this_thread::sleep_for(40ms);
    line.send({':', '0', '0'});
    std::this_thread::sleep_for(80ms);
    line.send({'0', '0', '0', '0', '0'});
  });
  const TRead result = readTimed(8);
  farEnd.join();
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, (std::vector<uint8_t>{':', '0', '0', '0', '0', '0', '0', '0'}));
  EXPECT_GE(result.took, 100ms);
  EXPECT_LT(result.took, 200ms) << "returned at the time-out instead of when the last byte came";
}

// A paced read rests while a reply is on the wire instead of waking for
// every byte, but never returns later than the reply's last byte allows:
// neither on a line at its baud rate nor on one that is faster than it
// claims (a pseudo-terminal, a virtual logger emulating another rate).
struct TPacedCase {
  const char* name;
  std::chrono::microseconds claimedByteTime;
  bool lineProvenSlow;   // the first piece came no earlier than the line allows
  milliseconds piecePause;  // the far end sends 4 bytes, then pauses this long
};

class SerialIoPaced : public SerialIo, public ::testing::WithParamInterface<TPacedCase> {};

TEST_P(SerialIoPaced, ReturnsWhenTheLastByteArrives) {
  const TPacedCase& c = GetParam();
  constexpr size_t kPieces = 10;
  // When the last piece really went out: on a busy machine the far end's
  // pauses run long, and the read can only be as early as the bytes are.
  Clock::time_point lastSent{};
  std::thread farEnd([&] {
    for (size_t i = 0; i < kPieces; ++i) {
      if (i + 1 == kPieces) lastSent = Clock::now();
      line.send({'0', '1', '2', '3'});
      if (i + 1 < kPieces) std::this_thread::sleep_for(c.piecePause);
    }
  });
  TReplyPacing pacing{c.claimedByteTime, c.lineProvenSlow ? Clock::now() : Clock::now() + 1h};
  std::vector<uint8_t> bytes(4 * kPieces);
  size_t received = 0;
  const auto start = Clock::now();
  EXPECT_TRUE(readCommFor(port, bytes.data(), bytes.size(), received, 2000ms, -1, pacing));
  const auto returnedAt = Clock::now();
  const milliseconds took = since(start);
  farEnd.join();
  EXPECT_EQ(received, bytes.size());
  const milliseconds lastByte = c.piecePause * static_cast<int>(kPieces - 1);
  EXPECT_GE(took, lastByte - 5ms);
  EXPECT_LT(returnedAt - lastSent, 100ms) << "the read rested past the reply's last byte";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SerialIoPaced,
    ::testing::Values(TPacedCase{"AtItsBaudRate", 2500us, true, 10ms},
                      TPacedCase{"FasterThanClaimed", 10ms, false, 4ms}),
    [](const ::testing::TestParamInfo<TPacedCase>& tested) { return std::string(tested.param.name); });

TEST_F(SerialIo, ShortReplyIsReturnedAtTheTimeOut) {
  line.send({0x01, 0x02, 0x03});
  const TRead result = readTimed(8);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, (std::vector<uint8_t>{0x01, 0x02, 0x03}));
  EXPECT_GE(result.took, 200ms);
}

TEST_F(SerialIo, ReadTakesNoMoreThanRequestedAndLeavesTheRestQueued) {
  std::vector<uint8_t> sent(12);
  std::iota(sent.begin(), sent.end(), uint8_t{1});
  line.send(sent);
  settle();
  EXPECT_EQ(readTimed(8).bytes, std::vector<uint8_t>(sent.begin(), sent.begin() + 8));
  EXPECT_EQ(readTimed(4).bytes, std::vector<uint8_t>(sent.begin() + 8, sent.end()));
}

// Control characters, CR, LF, XON/XOFF, the null byte and bytes with the
// top bit set all pass unchanged: the line is raw in both directions.
std::vector<uint8_t> everyByteValue() {
  std::vector<uint8_t> bytes(256);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0});
  return bytes;
}

TEST_F(SerialIo, EveryByteValueArrivesUnchanged) {
  line.send(everyByteValue());
  const TRead result = readTimed(256);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, everyByteValue());
}

TEST_F(SerialIo, WriteSendsEveryByteValueUnchangedAndCountsThem) {
  const std::vector<uint8_t> bytes = everyByteValue();
  size_t written = 0;
  EXPECT_TRUE(writeComm(port, bytes.data(), bytes.size(), written));
  EXPECT_EQ(written, bytes.size());
  EXPECT_EQ(line.receive(bytes.size(), 500ms), bytes);
}

TEST_F(SerialIo, WriteThatCannotGoOutStopsAfterOneMsPerByte) {
  // Fill the line's output queue through the far end's own slave descriptor:
  // nobody reads the master, so nothing drains.
  const int filler = line.heldSlave();
  fcntl(filler, F_SETFL, fcntl(filler, F_GETFL) | O_NONBLOCK);
  const std::vector<uint8_t> block(1024, 0x55);
  // The pseudo-terminal moves queued bytes on to the far end's input in the
  // background, which frees room again: fill until a pause frees none.
  for (;;) {
    while (write(filler, block.data(), block.size()) > 0) {
    }
    std::this_thread::sleep_for(20ms);
    if (write(filler, block.data(), 1) <= 0) break;
  }

  const std::vector<uint8_t> record(139, 'A');
  size_t written = 99;
  const auto start = Clock::now();
  EXPECT_TRUE(writeComm(port, record.data(), record.size(), written));
  EXPECT_EQ(written, 0u);
  EXPECT_GE(since(start), 130ms);
  EXPECT_LT(since(start), 600ms);
}

TEST_F(SerialIo, PurgeDiscardsReceivedBytes) {
  line.send({0xAA, 0xBB, 0xCC});
  settle();
  EXPECT_TRUE(purgeComm(port));
  EXPECT_TRUE(readTimed(8).bytes.empty());

  // The line goes on working after the purge.
  line.send({0x11, 0x22});
  EXPECT_EQ(readTimed(2).bytes, (std::vector<uint8_t>{0x11, 0x22}));
}

TEST_F(SerialIo, ClearCommErrorSucceedsOnALiveLine) { EXPECT_TRUE(clearCommError(port)); }

TEST_F(SerialIo, EveryOperationFailsAfterAHangUp) {
  const struct {
    const char* name;
    std::function<bool(TPortHandle)> operation;
  } cases[] = {
      {"clearCommError", [](TPortHandle h) { return clearCommError(h); }},
      {"purgeComm", [](TPortHandle h) { return purgeComm(h); }},
      {"writeComm", [](TPortHandle h) { size_t n = 0; const uint8_t b[8]{}; return writeComm(h, b, 8, n); }},
      {"readCommFor", [](TPortHandle h) { size_t n = 0; uint8_t b[8]; return readCommFor(h, b, 8, n, replyTimeout(8)); }},
  };
  line.send({0x01, 0x02});  // pending input does not hide the hang-up
  settle();
  line.hangUp();
  for (const auto& c : cases) EXPECT_FALSE(c.operation(port)) << c.name;
}

TEST_F(SerialIo, HangUpDuringAReadEndsItAtOnce) {
  std::thread farEnd([this] {
    std::this_thread::sleep_for(50ms);
    line.hangUp();
  });
  const TRead result = readTimed(139);
  farEnd.join();
  EXPECT_FALSE(result.ok);
  EXPECT_LT(result.took, 200ms);
}

TEST(SerialIoWithoutPort, EveryOperationFailsOnTheInvalidHandle) {
  uint8_t bytes[8]{};
  size_t count = 99;
  EXPECT_FALSE(clearCommError(INVALID_PORT_HANDLE));
  EXPECT_FALSE(purgeComm(INVALID_PORT_HANDLE));
  EXPECT_FALSE(writeComm(INVALID_PORT_HANDLE, bytes, sizeof bytes, count));
  EXPECT_EQ(count, 0u);
  count = 99;
  EXPECT_FALSE(readCommFor(INVALID_PORT_HANDLE, bytes, sizeof bytes, count, replyTimeout(sizeof bytes)));
  EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace kelvry
