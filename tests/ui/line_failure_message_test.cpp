// A job that the serial line ends for good (a cable pulled out) keeps its
// own first line and says on the second why, where that left the logger,
// and what to do next, as a cancel after the erase does. The same after the
// repeats have run out: repeat_bound_test.cpp.

#include "engine/status_codes.h"
#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

const QString kLineFailed = "Aborted because error when reading/writing to serial port!";
const QString kLost = "The connection to the logger was lost (Serial port read failed: Input/output error).";
const QString kErased = " The logger is erased and waits in its bootloader; ";
const QString kNotErased = " Nothing was erased: the logger still has its application; ";
const QString kPlugIn = "plug its cable in again and start the update again.";

// The exchanges of a job against a logger in its bootloader: the two
// wake-ups and the identity query come first; the erase and the data
// records follow the reads of the logger's data.
constexpr int kIdentityQuery = 3;
constexpr int kWellIntoProgramming = 40;

sim::TLoggerConfig inBootloader() {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  return config;
}

sim::TLoggerConfig hangsUpAt(int exchange) {
  sim::TLoggerConfig config = inBootloader();
  config.faults.hangUpAt = exchange;
  return config;
}

struct TEndCase {
  const char* name;
  sim::TLoggerConfig config;
  int erases;
  QString firstLine;
  QString secondLine;
};

class JobEndedByTheLine : public TMemoryLoggerWindowTest, public testing::WithParamInterface<TEndCase> {};

TEST_P(JobEndedByTheLine, ClosingMessageSaysWhyWhereAndWhatNext) {
  const TEndCase& c = GetParam();
  useLogger(c.config);
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  ASSERT_EQ(logger->stats().erases, c.erases) << "the logger was cut off where the case says";
  EXPECT_EQ(dialogs.messages, QStringList{c.firstLine + "\n" + c.secondLine});
  EXPECT_EQ(frmMain->statusText(), c.firstLine) << "the status line keeps the job's own text";
  EXPECT_EQ(report().mid(report().size() - 2), (QStringList{c.firstLine, c.secondLine}));
  EXPECT_EQ(report().count("Serial port read failed: Input/output error"), 1) << "the reason stays in the report";
  EXPECT_TRUE(looksIdle());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JobEndedByTheLine,
    testing::Values(
        TEndCase{"UnpluggedWhileProgramming", hangsUpAt(kWellIntoProgramming), 1, kLineFailed,
                 kLost + kErased + kPlugIn},
        TEndCase{"UnpluggedBeforeTheErase", hangsUpAt(kIdentityQuery), 0, kLineFailed, kLost + kNotErased + kPlugIn}),
    [](const testing::TestParamInfo<TEndCase>& param) { return param.param.name; });

}  // namespace
}  // namespace kelvry::test
