#include "ui/protocol_window.h"

#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/window_geometry.h"

namespace kelvry {

namespace {
constexpr int kDesignWidth = 454;
constexpr int kDesignHeight = 141;
}  // namespace

QString formatReportLine(const QTime& time, const QString& sLine) {
  return time.toString("hh-mm-ss") + " -> " + sLine;
}

TfrmProtocol::TfrmProtocol(QWidget& frmMain)
    : QWidget(&frmMain, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Memo1(new QPlainTextEdit(this)) {
  setObjectName("frmProtocol");
  setWindowTitle("Report");
  resize(kDesignWidth, kDesignHeight);
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
  move(frmMain.x(), frmMain.y() + frmMain.frameGeometry().height());
  setOuterWidth(*this, frmMain.frameGeometry().width());
  Clear();
}

void TfrmProtocol::Add(const QString& sLine) {
  Memo1->appendPlainText(formatReportLine(QTime::currentTime(), sLine));
  // The newest line is what the user watches.
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TfrmProtocol::Clear() { Memo1->clear(); }

QStringList TfrmProtocol::lines() const {
  const QString text = Memo1->toPlainText();
  return text.isEmpty() ? QStringList() : text.split('\n');
}

}  // namespace kelvry
