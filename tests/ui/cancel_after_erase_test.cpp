// A cancel once the erase has begun says, besides "Process cancelled!", that
// the logger waits in its bootloader and the update can be started again;
// a cancel before the erase says only that it was cancelled.

#include <string>

#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

const QString kCancelled = "Process cancelled!";
const QString kStartAgain = "The logger waits in its bootloader: the update can simply be started again.";

struct TCancelCase {
  const char* cancelAt;  // the first logger event that starts with this
  QStringList lastReportLines;
  QString message;
};

class CancelAfterErase : public TMemoryLoggerWindowTest, public testing::WithParamInterface<TCancelCase> {};

TEST_P(CancelAfterErase, ClosingTextSaysWhereTheLoggerIs) {
  sim::TLoggerConfig config;
  const std::string cancelAt = GetParam().cancelAt;
  // The user presses Cancel just as the logger does this (on the worker's
  // thread; the window starts nothing meanwhile).
  config.onEvent = [this, cancelAt](const std::string& event) {
    if (event.starts_with(cancelAt)) frmMain->session().cancel();
  };
  useLogger(config);
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  const QStringList lines = report();
  const qsizetype n = GetParam().lastReportLines.size();
  EXPECT_EQ(lines.mid(lines.size() - n), GetParam().lastReportLines) << lines.join("\n").toStdString();
  EXPECT_EQ(frmMain->statusText(), kCancelled);
  EXPECT_EQ(dialogs.messages, QStringList{GetParam().message});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CancelAfterErase,
    testing::Values(TCancelCase{"erase", {kCancelled, kStartAgain},
                                kCancelled + "\n" + kStartAgain},
                    TCancelCase{"identity query", {kCancelled}, kCancelled}));

}  // namespace
}  // namespace kelvry::test
