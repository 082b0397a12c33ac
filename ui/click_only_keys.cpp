#include "ui/click_only_keys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>

namespace kelvry {

namespace {

class TActivationKeyFilter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
      return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space:
      case Qt::Key_Select:
        return true;
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

}  // namespace

void ignoreActivationKeys(QAbstractButton& button) { button.installEventFilter(new TActivationKeyFilter(&button)); }

}  // namespace kelvry
