// The time an update still takes, as both front ends show it.

#include <gtest/gtest.h>

#include <chrono>

#include "frontend/time_left.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;
using TSteady = std::chrono::steady_clock;

TEST(TimeLeft, EstimatesTheRestAtTheMeasuredRate) {
  TTimeLeft estimate;
  const TSteady::time_point t0{};
  EXPECT_FALSE(estimate.left());
  estimate.update(0, t0);
  EXPECT_FALSE(estimate.left()) << "one percentage gives no rate";
  estimate.update(9, t0 + 60s);  // 9 % a minute: 90 % more take 10 minutes
  ASSERT_TRUE(estimate.left());
  EXPECT_EQ(*estimate.left(), 600s);
  EXPECT_EQ(timeLeftText(estimate.left()), "10:00 left");
  // A repeat starts at 0 again: the old rate no longer counts.
  estimate.update(0, t0 + 61s);
  EXPECT_FALSE(estimate.left());
  estimate.update(33, t0 + 61s + 33s);
  EXPECT_EQ(*estimate.left(), 66s);
  EXPECT_EQ(timeLeftText(estimate.left()), "1:06 left");
  estimate.update(99, t0 + 200s);
  EXPECT_FALSE(estimate.left()) << "nothing left to program";
}

}  // namespace
}  // namespace kelvry
