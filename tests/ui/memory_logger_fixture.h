#pragma once

#include <memory>

#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry::test {

// The window in internal mode (Update asks nothing) with its jobs going to a
// logger in memory on a virtual clock: a job with its pauses and time-outs
// takes milliseconds.
class TMemoryLoggerWindowTest : public TWindowTest {
protected:
  void useLogger(const sim::TLoggerConfig& config) {
    logger = std::make_unique<sim::TMemoryLogger>(config);
    jobEnvironment = TJobEnvironment{
        .makeTransport = [this](const TCancelToken& cancel) { return logger->connect(clock, cancel); },
        .clock = &clock,
    };
    openWindow({}, true);
    frmMain->cbxPort->setEditText("/dev/ttyUSB0");
  }

  void TearDown() override {
    TWindowTest::TearDown();  // the window's last worker ends before its logger
    logger.reset();
  }

  std::unique_ptr<sim::TMemoryLogger> logger;
  sim::TVirtualClock clock;
};

}  // namespace kelvry::test
