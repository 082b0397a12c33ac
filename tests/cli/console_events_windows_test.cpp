// The console's events as Windows delivers them to the command line. Wine
// sends Ctrl-C (tested end to end in scripts/test-windows.sh) but neither
// Ctrl-Break nor a close, so the handler is called here as Windows would.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>

#include "cli/console/cancel_signals.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;

TEST(ConsoleEvents, CtrlCAndCtrlBreakCancelTheRunAndAreHandled) {
  for (DWORD event : {DWORD{CTRL_C_EVENT}, DWORD{CTRL_BREAK_EVENT}}) {
    auto run = std::make_shared<TCancelToken>();
    const TCancelOnSignals signals(run);
    EXPECT_NE(handleConsoleEvent(event), 0) << event;
    EXPECT_TRUE(run->isCancelled()) << event;
  }
}

// Windows ends the process when the handler returns from a close: it must
// hold on until the update is over and the port is free, and no longer.
TEST(ConsoleEvents, ClosingTheConsoleWaitsUntilTheUpdateIsOver) {
  for (DWORD event : {DWORD{CTRL_CLOSE_EVENT}, DWORD{CTRL_LOGOFF_EVENT}, DWORD{CTRL_SHUTDOWN_EVENT}}) {
    auto run = std::make_shared<TCancelToken>();
    std::optional<TCancelOnSignals> signals(std::in_place, run);
    auto handled = std::async(std::launch::async, [event] { return handleConsoleEvent(event); });
    // The handler has cancelled the run and now waits for the update to end.
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (!run->isCancelled() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(run->isCancelled()) << event;
    EXPECT_EQ(handled.wait_for(200ms), std::future_status::timeout) << "returned before the update ended: " << event;
    signals.reset();  // the update is over: the port is released
    ASSERT_EQ(handled.wait_for(2s), std::future_status::ready) << event;
    EXPECT_NE(handled.get(), 0) << event;
  }
}

TEST(ConsoleEvents, OutsideAnUpdateTheyAreLeftToWindows) {
  EXPECT_EQ(handleConsoleEvent(CTRL_C_EVENT), 0);
}

}  // namespace
}  // namespace kelvry::cli
