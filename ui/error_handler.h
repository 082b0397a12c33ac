#pragma once

#include <exception>
#include <utility>

#include <QApplication>
#include <QString>

class QWidget;

// The general error handler: a failure that escapes a user action (a click,
// a menu choice) is shown in an error box that describes it, and the program
// goes on waiting for input.

namespace kelvry {

// A text for the user that says what went wrong.
QString describeFailure(const std::exception_ptr& failure);

// Shows the error box through the dialog hooks.
void showGeneralError(QWidget* parent, const QString& sText);

// Runs a user action; a failure that escapes it goes to the error box.
template <class TAction>
void runUserAction(QWidget* parent, TAction&& action) {
  try {
    std::forward<TAction>(action)();
  } catch (...) {
    showGeneralError(parent, describeFailure(std::current_exception()));
  }
}

// The program's application object. Exceptions must not unwind through Qt's
// event loop, so the last place to catch one that a handler let escape is
// here; it ends in the error box like any other failure of a user action.
class TApplication : public QApplication {
public:
  TApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace kelvry
