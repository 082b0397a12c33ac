#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kelvry {

// The closing text of a job, shown modally over the lower part of the main
// window.
class TfrmMessage : public QDialog {
  Q_OBJECT

public:
  explicit TfrmMessage(QWidget* parent);

  // Shows sMsg placed inside the rectangle (x, y, w, h): 10 pixels in from
  // its left and right edges, bottom edge 10 pixels above its bottom edge,
  // and as tall as the wrapped text needs, up to the available screen area
  // (the window stays on it). Returns when the user pressed "OK".
  void showMsg(const QString& sMsg, int x, int y, int w, int h);

  QPlainTextEdit* const Memo1;
  QPushButton* const Button1;

private:
  void placeInside(int x, int y, int w, int h);
  // The inside height that shows the whole message at an inside width.
  int heightFor(int insideWidth) const;
  void Button1Click();
};

}  // namespace kelvry
