#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTime>
#include <QWidget>

namespace kelvry {

// "hh-nn-ss -> text": one line of the report.
QString formatReportLine(const QTime& time, const QString& sLine);

// The report: a time-stamped log of everything a job does. It is docked
// below the main window and shown only in internal mode; the user cannot
// close it, only the main window shows or hides it.
class TfrmProtocol : public QWidget {
  Q_OBJECT

public:
  // Created hidden, docked below frmMain and empty.
  explicit TfrmProtocol(QWidget& frmMain);

  void Add(const QString& sLine);
  void Clear();
  QStringList lines() const;

  // The least height it keeps when docked low on the screen.
  int minimumDockedHeight() const;

  QPlainTextEdit* const Memo1;

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate(const QWidget& frmMain);

  const QWidget& FMain;
};

}  // namespace kelvry
