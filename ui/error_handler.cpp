#include "ui/error_handler.h"

#include <QWidget>

#include "engine/tarvo_exception.h"
#include "ui/dialog_hooks.h"

namespace kelvry {

QString describeFailure(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const ETarvo& e) {
    const QString code = QString("Error %1").arg(e.iException);
    return *e.what() ? code + ": " + QString::fromStdString(e.what()) : code;
  } catch (const std::exception& e) {
    return *e.what() ? QString::fromStdString(e.what()) : QString("Unexpected error");
  } catch (...) {
    return "Unexpected error";
  }
}

void showGeneralError(QWidget* parent, const QString& sText) { dialogHooks().showError(parent, sText); }

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    showGeneralError(activeWindow(), describeFailure(std::current_exception()));
    return false;
  }
}

}  // namespace kelvry
