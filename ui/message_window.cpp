#include "ui/message_window.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/control_metrics.h"
#include "ui/dialog_hooks.h"
#include "ui/text_fit.h"
#include "ui/window_docking.h"

namespace kelvry {

namespace {
constexpr int kDesignWidth = 435;
constexpr int kDesignHeight = 101;
constexpr int kButtonPanelHeight = 45;
constexpr int kMargin = 3;
constexpr int kInset = 10;

}  // namespace

TfrmMessage::TfrmMessage(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Memo1(new QPlainTextEdit(this)),
      Button1(new QPushButton("OK", this)) {
  setObjectName("frmMessage");
  setWindowTitle("Information");
  setModal(true);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Button1->setObjectName("Button1");
  const TControlMetrics metrics(font());
  Button1->setFixedSize(metrics.size(93, 39));

  auto* buttonPanel = new QWidget(this);
  buttonPanel->setFixedHeight(metrics.px(kButtonPanelHeight));
  auto* buttonRow = new QHBoxLayout(buttonPanel);
  buttonRow->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  buttonRow->addWidget(Button1, 0, Qt::AlignLeft | Qt::AlignVCenter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, 0);
  layout->setSpacing(0);
  layout->addWidget(Memo1);
  layout->addWidget(buttonPanel);

  setFixedSize(metrics.size(kDesignWidth, kDesignHeight));
  connect(Button1, &QPushButton::clicked, this, &TfrmMessage::Button1Click);
}

int TfrmMessage::heightFor(int insideWidth) const {
  const TControlMetrics metrics(font());
  const int memoWidth = insideWidth - 2 * kMargin;
  const int fitted = kMargin + plainTextHeight(*Memo1, memoWidth) + metrics.px(kButtonPanelHeight);
  return std::max(metrics.px(kDesignHeight), fitted);
}

void TfrmMessage::placeInside(int x, int y, int w, int h) {
  // Before its first showing the window has no frame of its own to measure;
  // the main window's stands in, so that the first message of a session
  // sits where every later one does.
  const QWidget& model = parentWidget() ? *parentWidget() : *this;
  const QMargins frame = frameMarginsOf(*this, model);
  const QRect area = availableAreaFor(model);
  const int frameWidth = frame.left() + frame.right();
  const int frameHeight = frame.top() + frame.bottom();

  int outerWidth = w - 2 * kInset;
  if (!area.isEmpty()) outerWidth = std::min(outerWidth, area.width());
  // As tall as the text needs, so that no line of it is cut; only a text
  // taller than the screen scrolls.
  int outerHeight = heightFor(outerWidth - frameWidth) + frameHeight;
  const bool bTallerThanScreen = !area.isEmpty() && outerHeight > area.height();
  if (bTallerThanScreen) outerHeight = area.height();
  // A scroll bar that came and went while the edit is laid out would
  // narrow the lines and wrap them once more than measured.
  Memo1->setVerticalScrollBarPolicy(bTallerThanScreen ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  // A taller text grows the window upwards: its bottom edge stays where
  // the short messages have theirs.
  QRect outer(x + kInset, y + h - outerHeight - kInset, outerWidth, outerHeight);
  if (!area.isEmpty()) outer = keptOnArea(outer, area);
  // A fixed border: the user does not resize it, only this placement does.
  setFixedSize(outer.size().shrunkBy(frame));
  moveFrameTo(*this, outer.topLeft(), model);
}

void TfrmMessage::showMsg(const QString& sMsg, int x, int y, int w, int h) {
  Memo1->clear();
  Memo1->appendPlainText(sMsg);
  // A text too long for the screen is read from its start.
  Memo1->moveCursor(QTextCursor::Start);
  placeInside(x, y, w, h);
  Button1->setFocus();
  dialogHooks().execModal(*this);
}

void TfrmMessage::Button1Click() { accept(); }

}  // namespace kelvry
