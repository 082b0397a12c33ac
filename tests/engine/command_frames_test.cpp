// The command frames the link puts on the line, byte for byte, against
// frames whose CRC-8 was worked out apart from this program: the virtual
// logger checks frames with the same CRC-8 code as the link, so a fault in
// that code would pass every exchange with it.

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

#include "engine/comm_link.h"
#include "waits/cancel_token.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry {
namespace {

// Keeps what is written; nothing ever arrives.
class TCapturingPort final : public ISerialTransport {
public:
  bool open(const std::string&, int32_t) override { return true; }
  void close() override {}
  bool clearErrors() override { return true; }
  bool discardInput() override { return true; }
  bool write(const uint8_t* data, size_t count, size_t& written) override {
    sent.insert(sent.end(), data, data + count);
    written = count;
    return true;
  }
  bool read(uint8_t*, size_t, size_t& received, std::chrono::milliseconds) override {
    received = 0;
    return true;
  }
  const TSerialFailure& lastFailure() const override { return failure_; }

  std::vector<uint8_t> sent;

private:
  TSerialFailure failure_;
};

struct TFrameCase {
  const char* name;
  uint8_t code;
  std::array<uint8_t, 6> parameters;
  std::vector<uint8_t> frame;  // as on the line, the CRC-8 last
};

void PrintTo(const TFrameCase& c, std::ostream* os) { *os << c.name; }

class CommandFrame : public ::testing::TestWithParam<TFrameCase> {};

TEST_P(CommandFrame, GoesOutWithItsKnownChecksum) {
  const TFrameCase& c = GetParam();
  TCapturingPort port;
  sim::TVirtualClock clock;
  TCancelToken cancel;
  TCommLink link(port, clock, cancel);
  const auto& p = c.parameters;
  link.sendCommand(false, c.code, p[0], p[1], p[2], p[3], p[4], p[5]);
  EXPECT_EQ(port.sent, c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Link, CommandFrame,
    ::testing::Values(
        TFrameCase{"WakeUp", 255, {}, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        TFrameCase{"Identity", 1, {}, {0x81, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xAA}},
        TFrameCase{"Jump", 2, {0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00}, {0x82, 0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00, 0x09}},
        TFrameCase{"CountingParameters", 3, {1, 2, 3, 4, 5, 6}, {0x83, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x50}},
        TFrameCase{"AllBitsSet", 0x7F, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                   {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x14}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvry
