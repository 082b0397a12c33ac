// The worker on a real serial port: the virtual logger on a pseudo-terminal.

#include <gtest/gtest.h>

#include "serial/platform_transport.h"
#include "serial/serial_port.h"
#include "tests/engine/job_fixture.h"
#include "tests/engine/port_checking_sink.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

using WorkerTest = JobTest;

TEST_F(WorkerTest, RealPortIsFreeAgainAtTheFinalNotification) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.print = 1;  // no image fits: a short job
  sim::TPtyLogger logger(config);
  TPortCheckingSink checking([&] {
    const TPortHandle again = openComPort(logger.portPath(), 9600);
    closeComPort(again);
    return again != INVALID_PORT_HANDLE;
  });
  TUpdateRequest real = request();
  real.sPort = logger.portPath();
  auto worker = startCommThread(checking, real, {.makeTransport = makePlatformTransport});
  ASSERT_TRUE(checking.waitForFinal());
  EXPECT_EQ(checking.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
  EXPECT_TRUE(checking.freeAtFinal);
}

}  // namespace
}  // namespace kelvry::test
