// The cancel token tree: a run's token, the ports', the jobs' and the
// repeats' below it. A cancel goes down the tree and never up, a token born
// below a cancelled one is cancelled from the start, and nothing clears one.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "waits/cancel_token.h"

namespace kelvry {
namespace {

using namespace std::chrono_literals;

TEST(CancelTree, ACancelReachesEveryTokenBelowAndNoneAbove) {
  auto run = std::make_shared<TCancelToken>();
  auto port = run->makeChild();
  auto otherPort = run->makeChild();
  auto job = port->makeChild();
  job->cancel();
  EXPECT_FALSE(port->isCancelled());
  EXPECT_FALSE(run->isCancelled());
  port->cancel();
  EXPECT_FALSE(otherPort->isCancelled());
  EXPECT_FALSE(run->isCancelled());
  auto repeat = otherPort->makeChild();
  run->cancel();
  EXPECT_TRUE(otherPort->isCancelled());
  EXPECT_TRUE(repeat->isCancelled());
}

TEST(CancelTree, ATokenBornBelowACancelledOneIsCancelledFromTheStart) {
  auto run = std::make_shared<TCancelToken>();
  run->cancel();
  auto job = run->makeChild();
  EXPECT_TRUE(job->isCancelled());
  EXPECT_TRUE(job->makeChild()->isCancelled());
  // And it ends a wait at once.
  EXPECT_FALSE(job->waitUntil(std::chrono::steady_clock::now() + 60s));
}

TEST(CancelTree, ACancelOfTheRunWakesAWaitFarBelow) {
  auto run = std::make_shared<TCancelToken>();
  auto job = run->makeChild()->makeChild();
  auto waiting = std::async(std::launch::async, [&] { return job->waitUntil(std::chrono::steady_clock::now() + 60s); });
  std::this_thread::sleep_for(20ms);
  const auto cancelled = std::chrono::steady_clock::now();
  run->cancel();
  EXPECT_FALSE(waiting.get());
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 10s);
}

TEST(CancelTree, AChildKeepsItsParentAndMayEndFirst) {
  std::weak_ptr<TCancelToken> parentSeen;
  std::shared_ptr<TCancelToken> job;
  {
    auto run = std::make_shared<TCancelToken>();
    parentSeen = run;
    job = run->makeChild();
    const auto endedRepeat = run->makeChild();  // a repeat that ends before the job
  }
  ASSERT_FALSE(parentSeen.expired());
  parentSeen.lock()->cancel();
  EXPECT_TRUE(job->isCancelled());
  job.reset();
  EXPECT_TRUE(parentSeen.expired());
}

TEST(CancelTree, AWakeUpRegisteredBelowIsCalledOnceForTheRunsCancel) {
  auto run = std::make_shared<TCancelToken>();
  auto job = run->makeChild();
  int wakes = 0;
  const auto registration = job->onCancel([&] { ++wakes; });
  run->cancel();
  job->cancel();
  EXPECT_EQ(wakes, 1);
}

}  // namespace
}  // namespace kelvry
