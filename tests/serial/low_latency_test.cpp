// The low-latency decision against a fake driver: switched on only where the
// driver has the setting, never a reason to fail, and put back at close
// without touching the flags others changed meanwhile.

#include <linux/serial.h>

#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "serial/low_latency.h"

namespace kelvry {
namespace {

constexpr int kOtherFlag = ASYNC_SKIP_TEST;

class TFakeDriver : public TSerialFlags {
public:
  TFakeDriver(std::optional<int> flags, bool acceptsWrites) : flags_(flags), acceptsWrites_(acceptsWrites) {}

  std::optional<int> read() override { return flags_; }
  bool write(int flags) override {
    writes.push_back(flags);
    if (!acceptsWrites_) return false;
    flags_ = flags;
    return true;
  }
  std::optional<int> flags() const { return flags_; }

  std::vector<int> writes;

private:
  std::optional<int> flags_;
  bool acceptsWrites_;
};

TEST(RequestLowLatency, SwitchesItOnOnlyWhereTheDriverHasItAndItIsOff) {
  const struct {
    const char* driver;
    std::optional<int> flags;
    bool acceptsWrites;
    std::optional<int> toRestore;
    std::optional<int> flagsAfter;
  } cases[] = {
      {"without serial flags (pseudo-terminal, CDC ACM)", std::nullopt, true, std::nullopt, std::nullopt},
      {"already in low latency", ASYNC_LOW_LATENCY | kOtherFlag, true, std::nullopt, ASYNC_LOW_LATENCY | kOtherFlag},
      {"that takes the setting", kOtherFlag, true, kOtherFlag, ASYNC_LOW_LATENCY | kOtherFlag},
      {"that refuses the setting", kOtherFlag, false, std::nullopt, kOtherFlag},
  };
  for (const auto& c : cases) {
    TFakeDriver driver(c.flags, c.acceptsWrites);
    EXPECT_EQ(requestLowLatency(driver), c.toRestore) << c.driver;
    EXPECT_EQ(driver.flags(), c.flagsAfter) << c.driver;
  }
}

TEST(RestoreLatency, PutsBackOnlyTheLowLatencySetting) {
  const struct {
    const char* situation;
    std::optional<int> flagsNow;
    int previousFlags;
    std::optional<int> flagsAfter;
    size_t writes;
  } cases[] = {
      {"was off", ASYNC_LOW_LATENCY, 0, 0, 1},
      {"was off, another flag changed meanwhile", ASYNC_LOW_LATENCY | kOtherFlag, 0, kOtherFlag, 1},
      {"was on", ASYNC_LOW_LATENCY, ASYNC_LOW_LATENCY, ASYNC_LOW_LATENCY, 0},
      {"someone switched it off already", kOtherFlag, 0, kOtherFlag, 0},
      {"adapter unplugged", std::nullopt, 0, std::nullopt, 0},
  };
  for (const auto& c : cases) {
    TFakeDriver driver(c.flagsNow, true);
    restoreLatency(driver, c.previousFlags);
    EXPECT_EQ(driver.flags(), c.flagsAfter) << c.situation;
    EXPECT_EQ(driver.writes.size(), c.writes) << c.situation;
  }
}

}  // namespace
}  // namespace kelvry
