#include "ui/message_window.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/control_metrics.h"
#include "ui/dialog_hooks.h"
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

void TfrmMessage::placeInside(int x, int y, int w, int h) {
  // Before its first showing the window has no frame of its own to measure;
  // the main window's stands in, so that the first message of a session
  // sits where every later one does.
  const QWidget& model = parentWidget() ? *parentWidget() : *this;
  const QMargins frame = frameMarginsOf(*this, model);
  // A fixed border: the user does not resize it, only this placement does.
  setFixedSize(w - 2 * kInset - frame.left() - frame.right(), height());
  const int outerHeight = height() + frame.top() + frame.bottom();
  moveFrameTo(*this, QPoint(x + kInset, y + h - outerHeight - kInset), model);
}

void TfrmMessage::showMsg(const QString& sMsg, int x, int y, int w, int h) {
  placeInside(x, y, w, h);
  Memo1->clear();
  Memo1->appendPlainText(sMsg);
  Button1->setFocus();
  dialogHooks().execModal(*this);
}

void TfrmMessage::Button1Click() { accept(); }

}  // namespace kelvry
