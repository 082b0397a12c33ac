// The repeat count beside the status text: read whole while a job is
// repeated, beside the longest status text a repeat shows and at any scale
// (ctest runs this again at twice the scale), and gone when the job ends,
// where it would read as a repeat still to come.

#include <QFontMetrics>
#include <QLabel>

#include <tuple>

#include "tests/ui/memory_logger_fixture.h"

namespace kelvry::test {
namespace {

const QString kRepeatText = "Repeat update because communication error!";

// A logger that never answers: the job is repeated until the bound.
sim::TLoggerConfig silentLogger() {
  sim::TLoggerConfig config;
  config.faults.silentFrom = 1;
  return config;
}

// The first job's identity query goes unanswered (the wake-ups are
// exchanges 1 and 2, the query's five attempts 3 to 7); all after it is
// answered, so the repeat runs to its end.
sim::TLoggerConfig silentAtFirstQuery() {
  sim::TLoggerConfig config;
  for (int exchange = 3; exchange <= 7; ++exchange) config.faults.replyFaultAt[exchange] = sim::TReplyFault::Drop;
  return config;
}

class RepeatCount : public TMemoryLoggerWindowTest {
protected:
  QLabel& countLabel() const { return *frmMain->StatusBar1->findChild<QLabel*>("lblRepeats"); }
};

// A port name as long as Linux gives a USB adapter by its identity.
const QString kLongPort = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

// A status text that shows beside the count (the start of a repeated job on
// that port, the failure that repeats it), at a font size: the usual one
// (0) or a larger one, with which the window grows.
class RepeatCountBeside : public RepeatCount, public testing::WithParamInterface<std::tuple<QString, int>> {
protected:
  void TearDown() override {
    RepeatCount::TearDown();
    QApplication::setFont(FUsualFont);
  }
  const QFont FUsualFont = QApplication::font();
};

TEST_P(RepeatCountBeside, IsReadWholeBesideTheStatusText) {
  const auto [statusText, pointSize] = GetParam();
  if (pointSize > 0) {
    QFont font = FUsualFont;
    font.setPointSize(pointSize);
    QApplication::setFont(font);
  }
  useLogger(silentLogger());
  frmMain->cbxPort->setEditText(kLongPort);
  frmMain->show();
  frmMain->btnProg->click();
  ASSERT_TRUE(waitUntil([&] { return frmMain->repeatCountText() == "Repeat 1 of 3"; }));
  frmMain->SetStatusText(statusText.toStdString());
  // Laid out again (the bar, then the window), and nothing else: the
  // repeated job's notifications wait.
  for (int pass = 0; pass < 2; ++pass) QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);

  const QLabel& label = countLabel();
  const int needed = QFontMetrics(label.font()).horizontalAdvance(label.text());
  EXPECT_GE(label.contentsRect().width(), needed) << "the count is cut";
  const int right = label.mapTo(frmMain.get(), QPoint(label.width(), 0)).x();
  EXPECT_LE(right, frmMain->width()) << "the count reaches past the window";
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

std::string caseName(const testing::TestParamInfo<std::tuple<QString, int>>& info) {
  const auto& [text, points] = info.param;
  return std::string(text.startsWith("Start") ? "Start" : "Repeat") +
         (points > 0 ? std::to_string(points) + "pt" : "UsualFont");
}

INSTANTIATE_TEST_SUITE_P(StatusTexts, RepeatCountBeside,
                         testing::Combine(testing::Values("Start at serial port \"" + kLongPort + "\"", kRepeatText),
                                          testing::Values(0, 14, 24)),
                         caseName);

TEST_F(RepeatCount, IsGoneWhenTheRepeatedJobSucceeds) {
  useLogger(silentAtFirstQuery());
  frmMain->chkReadInfoOnly->setChecked(true);
  frmMain->btnProg->click();
  ASSERT_TRUE(waitForIdle());

  ASSERT_EQ(report().count(kRepeatText), 1) << "the job was repeated once";
  EXPECT_EQ(dialogs.messages, QStringList{"Only read update info!"});
  EXPECT_EQ(frmMain->repeatCountText(), "");
  EXPECT_TRUE(countLabel().isHidden());
}

}  // namespace
}  // namespace kelvry::test
