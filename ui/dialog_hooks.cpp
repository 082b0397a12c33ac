#include "ui/dialog_hooks.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "ui/qt_dialog_settings_keeper.h"
#include "ui/window_docking.h"

namespace kelvry {

namespace {

// The question texts carry DOS line breaks; a label wants plain ones.
QString forDisplay(const QString& sText) {
  QString text = sText;
  return text.replace("\r\n", "\n");
}

QPointer<QMessageBox>& openQuestion() {
  static QPointer<QMessageBox> box;
  return box;
}

bool askInBox(QWidget* parent, const QString& sQuestion, TDefaultAnswer defaultAnswer) {
  const std::unique_ptr<QMessageBox> box = makeConfirmBox(parent, sQuestion, defaultAnswer);
  const QPointer<QMessageBox> outer = openQuestion();
  openQuestion() = box.get();
  box->exec();
  openQuestion() = outer;
  return box->clickedButton() == box->button(QMessageBox::Yes);
}

// Closing the box ends its event loop once whatever runs on top of it (a
// message shown meanwhile) has returned; the box is gone from the screen
// at once.
void withdrawOpenQuestion() {
  if (QMessageBox* box = openQuestion()) box->reject();
}

void showErrorBox(QWidget* parent, const QString& sText) { makeErrorBox(parent, sText)->exec(); }

QString chooseWithDialog(QWidget* parent, const QString& sDirectory) {
  // Outlives the dialog, which writes its settings as it goes.
  const TQtDialogSettingsKeeper keeper;
  const std::unique_ptr<QFileDialog> dialog = makeOpenFileDialog(parent, sDirectory);
  if (dialog->exec() != QDialog::Accepted) return QString();
  return QDir::toNativeSeparators(dialog->selectedFiles().value(0));
}

}  // namespace

TDialogHooks defaultDialogHooks() {
  return TDialogHooks{
      .confirm = askInBox,
      .showError = showErrorBox,
      .chooseFile = chooseWithDialog,
      .execModal = [](QDialog& dialog) { return dialog.exec(); },
      .beep = [] { QApplication::beep(); },
      .withdrawQuestion = withdrawOpenQuestion,
  };
}

TDialogHooks& dialogHooks() {
  static TDialogHooks hooks = defaultDialogHooks();
  return hooks;
}

std::unique_ptr<QMessageBox> makeConfirmBox(QWidget* parent, const QString& sQuestion,
                                            TDefaultAnswer defaultAnswer) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::Question, "Confirm", forDisplay(sQuestion),
                                           QMessageBox::Yes | QMessageBox::No, parent);
  box->button(QMessageBox::Yes)->setText("Yes");
  box->button(QMessageBox::No)->setText("No");
  box->setDefaultButton(defaultAnswer == TDefaultAnswer::Yes ? QMessageBox::Yes : QMessageBox::No);
  return box;
}

std::unique_ptr<QFileDialog> makeOpenFileDialog(QWidget* parent, const QString& sDirectory) {
  auto dialog = std::make_unique<QFileDialog>(parent, QString(), sDirectory);
  // Update files first; a file may still carry any name, so every file is
  // one choice away.
  dialog->setNameFilters({kUpdateFilesFilter, kAllFilesFilter});
  dialog->selectNameFilter(kUpdateFilesFilter);
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setAcceptMode(QFileDialog::AcceptOpen);
  // Its own size suits a large screen; on a small one, or at a large
  // scale, it would reach past the edges with its buttons. Shown, it is
  // centred over the main window and kept on the screen.
  const QWidget& model = parent ? *parent : *dialog;
  if (const QRect area = availableAreaFor(model); !area.isEmpty()) {
    const QSize room = area.size().shrunkBy(frameMarginsOf(*dialog, model));
    dialog->resize(dialog->sizeHint().boundedTo(room));
  }
  return dialog;
}

std::unique_ptr<QMessageBox> makeErrorBox(QWidget* parent, const QString& sText) {
  return std::make_unique<QMessageBox>(QMessageBox::Critical, "Error", forDisplay(sText), QMessageBox::Ok,
                                       parent);
}

}  // namespace kelvry
