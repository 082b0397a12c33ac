#pragma once

#include <functional>
#include <memory>

#include <QString>

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

// Every modal dialog of the window goes through these hooks, so that a test
// can answer a question, read a message or pick a file without a blocking
// event loop. The defaults show the real dialogs.

namespace kelvry {

// The answer a question's box gives when the user just presses Enter. An
// answer that abandons work in progress is never the default.
enum class TDefaultAnswer { Yes, No };

struct TDialogHooks {
  // A Yes/No question; true only for "Yes".
  std::function<bool(QWidget* parent, const QString& sQuestion, TDefaultAnswer defaultAnswer)> confirm;
  // The general error box.
  std::function<void(QWidget* parent, const QString& sText)> showError;
  // The file-open dialog; an empty result means the user cancelled. The
  // path comes in the platform's own spelling, as the user reads paths.
  std::function<QString(QWidget* parent, const QString& sDirectory)> chooseFile;
  // Runs a modal window (message window, overview) until the user closes it.
  std::function<int(QDialog& dialog)> execModal;
  // The system's alert sound.
  std::function<void()> beep;
  // Closes the question that is open, which then answers No: what it asked
  // about has gone away meanwhile.
  std::function<void()> withdrawQuestion;
};

// The hooks in force; a test replaces members and restores the defaults.
TDialogHooks& dialogHooks();
TDialogHooks defaultDialogHooks();

// The confirmation box: caption "Confirm", question icon, buttons "Yes" and
// "No" in English whatever the desktop's language.
std::unique_ptr<QMessageBox> makeConfirmBox(QWidget* parent, const QString& sQuestion,
                                            TDefaultAnswer defaultAnswer = TDefaultAnswer::Yes);
// The file types the file-open dialog offers, the first chosen at start.
inline const QString kUpdateFilesFilter = "Update files (*.upd)";
inline const QString kAllFilesFilter = "All files (*)";

// The file-open dialog, no larger than the free area of the screen that
// shows `parent`.
std::unique_ptr<QFileDialog> makeOpenFileDialog(QWidget* parent, const QString& sDirectory);
std::unique_ptr<QMessageBox> makeErrorBox(QWidget* parent, const QString& sText);

}  // namespace kelvry
