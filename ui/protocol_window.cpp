#include "ui/protocol_window.h"

#include <algorithm>

#include <QCloseEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "frontend/report_line.h"
#include "ui/control_metrics.h"
#include "ui/window_docking.h"

namespace kelvry {

namespace {
constexpr int kDesignWidth = 454;
constexpr int kDesignHeight = 141;
// Room for three lines and the scroll bar, when the screen leaves no more.
constexpr int kMinimumDockedHeight = 60;
}  // namespace

// The stamp both front ends write, from the shared front-end logic.
QString formatReportLine(const QTime& time, const QString& sLine) {
  return QString::fromStdString(stampedReportLine(time.hour(), time.minute(), time.second(), sLine.toStdString()));
}

TfrmProtocol::TfrmProtocol(QWidget& frmMain)
    : QWidget(&frmMain, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Memo1(new QPlainTextEdit(this)),
      FMain(frmMain) {
  setObjectName("frmProtocol");
  setWindowTitle("Report");
  // The user goes on typing in the main window when the report appears.
  setAttribute(Qt::WA_ShowWithoutActivating);
  resize(TControlMetrics(font()).size(kDesignWidth, kDesignHeight));
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1);
  FormCreate(frmMain);
}

void TfrmProtocol::FormCreate(const QWidget& frmMain) {
  const int outerWidth = outerRectOf(frmMain, frmMain).width();
  setOuterSize(*this, QSize(outerWidth, outerRectOf(*this, frmMain).height()), frmMain);
  moveFrameTo(*this, dockedBelow(frmMain), frmMain);
  Clear();
}

int TfrmProtocol::minimumDockedHeight() const {
  return std::max(TControlMetrics(font()).px(kMinimumDockedHeight), minimumSizeHint().height());
}

void TfrmProtocol::closeEvent(QCloseEvent* event) {
  // A window manager offers a close button and Alt+F4 on every window, but
  // a closed report could never be opened again: only the main window
  // shows and hides it. Once the main window is gone, nothing holds it.
  if (FMain.isVisible()) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TfrmProtocol::Add(const QString& sLine) {
  QScrollBar& bar = *Memo1->verticalScrollBar();
  // The newest line is what the user watches, unless they scrolled up to
  // read an earlier one: that stays where it is until they scroll back
  // down to the end.
  const int shownLine = bar.value();
  const bool bFollowEnd = !isVisible() || shownLine >= bar.maximum();
  Memo1->appendPlainText(formatReportLine(QTime::currentTime(), sLine));
  bar.setValue(bFollowEnd ? bar.maximum() : shownLine);
}

void TfrmProtocol::Clear() { Memo1->clear(); }

QStringList TfrmProtocol::lines() const {
  const QString text = Memo1->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

}  // namespace kelvry
