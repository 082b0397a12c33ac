// The line of advice under the port list when an adapter's latency timer
// slows the update.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "cli/ports/latency_advice.h"

namespace kelvry::cli {
namespace {

TUsbPortIdentity port(const std::string& name, std::optional<int> latencyTimerMs) {
  TUsbPortIdentity identity;
  identity.port = name;
  identity.latencyTimerMs = latencyTimerMs;
  return identity;
}

TEST(LatencyAdvice, NamesTheSlowPortsOnOneLine) {
  constexpr const char* kHowTo = "lower it somewhere.";
  const struct {
    const char* what;
    std::vector<TUsbPortIdentity> ports;
    const char* advice;
  } cases[] = {
      {"no ports", {}, ""},
      {"a driver without a timer", {port("COM3", std::nullopt)}, ""},
      {"quick timers", {port("COM3", 1), port("COM4", 2), port("COM5", 0)}, ""},
      {"FTDI's default",
       {port("COM3", 1), port("COM7", 16)},
       "Latency timer above 2 ms on COM7: it slows every exchange with the logger (16 ms adds about 36 s to an "
       "update); lower it somewhere.\n"},
      {"several slow ports",
       {port("COM7", 16), port("COM8", std::nullopt), port("COM10", 3)},
       "Latency timer above 2 ms on COM7, COM10: it slows every exchange with the logger (16 ms adds about 36 s "
       "to an update); lower it somewhere.\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(latencyAdvice(c.ports, kHowTo), c.advice) << c.what;
}

// Where the program lowers the timer itself, a slow timer needs no advice.
TEST(LatencyAdvice, NoneWithoutAWayToLowerIt) {
  EXPECT_EQ(latencyAdvice({port("/dev/ttyUSB0", 16)}, ""), "");
}

}  // namespace
}  // namespace kelvry::cli
