// The closing message shows its whole text: as tall as the wrapped text
// needs, in its place over the main window, on the screen, and scrolling
// only a text taller than the screen. ctest runs these at twice the scale
// too.

#include <QFontMetrics>
#include <QScrollBar>

#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/ui/window_fixture.h"
#include "ui/message_window.h"
#include "ui/window_docking.h"

namespace kelvry::test {
namespace {

// What the user sees of the message window once it is on the screen.
struct TShownMessage {
  QRect outline;
  QString text;
  int scrollMaximum = -1;
  int scrollValue = -1;
  QSize viewport;
};

class MessageFit : public TWindowTest {
protected:
  void SetUp() override {
    TWindowTest::SetUp();
    openWindow();
    frmMain->show();
    // Shown for real, so that the text edit lays its lines out, but
    // without a modal loop.
    dialogHooks().execModal = [this](QDialog& dialog) {
      auto& message = static_cast<TfrmMessage&>(dialog);
      message.show();
      QApplication::processEvents();
      const QScrollBar& bar = *message.Memo1->verticalScrollBar();
      shown.push_back({message.frameGeometry(), message.Memo1->toPlainText(), bar.maximum(), bar.value(),
                       message.Memo1->viewport()->size()});
      message.hide();
      return int(QDialog::Accepted);
    };
  }

  // The height the text takes when wrapped at the width the edit gives it.
  static int wrappedTextHeight(const TShownMessage& message, const QFont& font, qreal documentMargin) {
    const int width = message.viewport.width() - int(2 * documentMargin);
    return QFontMetrics(font).boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap, message.text).height();
  }

  std::vector<TShownMessage> shown;
};

// Under Wine the frame Qt reports for a window as tall as the screen starts
// a few pixels above it (seen: -3), whatever the window does about it, so
// this case cannot be judged there; the other cases run under Wine too.
bool runsUnderWine() {
#ifdef _WIN32
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
  return false;
#endif
}

std::string rectText(const QRect& r) {
  return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
         std::to_string(r.height());
}

const QString kNotReady = "Aborted because serial port \"/dev/ttyUSB0\" is not ready!";

struct TMessageCase {
  const char* name;
  QString text;
};

void PrintTo(const TMessageCase& message, std::ostream* out) { *out << message.name; }

class MessageFitCases : public MessageFit, public testing::WithParamInterface<TMessageCase> {};

TEST_P(MessageFitCases, ShowsEveryLineInItsPlaceOverTheMainWindow) {
  const QString text = GetParam().text;
  frmMain->ShowMessageText(text.toStdString());
  ASSERT_EQ(shown.size(), 1u);
  const TShownMessage& message = shown[0];
  const TfrmMessage& window = *frmMain->frmMessage();

  EXPECT_EQ(message.scrollMaximum, 0) << "a line of the message is out of view";
  EXPECT_GE(message.viewport.height(),
            wrappedTextHeight(message, window.Memo1->font(), window.Memo1->document()->documentMargin()));
  const QRect main = frmMain->frameGeometry();
  EXPECT_EQ(message.outline.left(), main.left() + 10);
  EXPECT_EQ(message.outline.width(), main.width() - 20);
  EXPECT_EQ(message.outline.top() + message.outline.height(), main.top() + main.height() - 10);
  EXPECT_TRUE(availableAreaFor(*frmMain).contains(message.outline));
}

INSTANTIATE_TEST_SUITE_P(
    ClosingMessages, MessageFitCases,
    testing::Values(
        TMessageCase{"Short", "Process cancelled!"},
        TMessageCase{"PortMissing",
                     kNotReady + "\r\nSerial port \"/dev/ttyUSB0\" does not exist: check the cable, and pick the "
                                 "logger's port in the list."},
        TMessageCase{"PermissionDenied",
                     kNotReady + "\r\nPermission denied on serial port \"/dev/ttyUSB0\": add your user to the "
                                 "dialout group with \"sudo usermod -aG dialout technician\", then log out and log "
                                 "in again (the new group counts only from the next login)."},
        TMessageCase{"StoppedAfterRepeats",
                     "Stopped after 3 repeats in a row: the logger or its cable needs attention.\r\nCheck the "
                     "cable and the logger, then start the update again."},
        TMessageCase{"OneLongWord", QString("/dev/serial/by-id/") + QString(120, 'x')}),
    [](const testing::TestParamInfo<TMessageCase>& param) { return std::string(param.param.name); });

TEST_F(MessageFit, ATextTallerThanTheScreenFillsItAndScrollsFromItsStart) {
  if (runsUnderWine()) GTEST_SKIP() << "Wine misreports the frame of a window as tall as the screen";
  QStringList lines;
  for (int i = 1; i <= 120; ++i) lines << QString("Line %1 of a long closing message").arg(i);
  frmMain->ShowMessageText(lines.join("\r\n").toStdString());
  ASSERT_EQ(shown.size(), 1u);
  const QRect area = availableAreaFor(*frmMain);
  EXPECT_TRUE(area.contains(shown[0].outline)) << rectText(shown[0].outline) << " on " << rectText(area);
  EXPECT_EQ(shown[0].outline.height(), area.height());
  EXPECT_GT(shown[0].scrollMaximum, 0);
  EXPECT_EQ(shown[0].scrollValue, 0) << "the first line shows first";
}

TEST_F(MessageFit, StaysOnTheScreenBesideAMainWindowPushedPastItsEdge) {
  const QRect area = availableAreaFor(*frmMain);
  frmMain->move(area.right() - frmMain->frameGeometry().width() / 2, area.top());
  const QString text = kNotReady + "\r\nCheck the cable and the logger, then start the update again.";
  frmMain->ShowMessageText(text.toStdString());
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(area.contains(shown[0].outline));
  EXPECT_EQ(shown[0].scrollMaximum, 0);
}

}  // namespace
}  // namespace kelvry::test
