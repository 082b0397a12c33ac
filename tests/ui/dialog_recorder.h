#pragma once

#include <cstdlib>
#include <deque>
#include <functional>
#include <vector>

#include <QDialog>
#include <QMessageBox>
#include <QRect>
#include <QStringList>

#include "ui/dialog_hooks.h"
#include "ui/info_window.h"
#include "ui/message_window.h"

namespace kelvry::test {

// Stands in for the user at every dialog: answers the questions, picks the
// files it was given, closes the modal windows at once and remembers what
// each of them showed.
class TDialogRecorder {
public:
  struct TOverview {
    QRect outline;
    std::vector<QStringList> rows;
    std::vector<int> columnWidths;
    int clientWidth = 0;
  };

  void install() {
    dialogHooks() = TDialogHooks{
        .confirm = [this](QWidget*, const QString& sQuestion, TDefaultAnswer defaultAnswer) {
          questions << sQuestion;
          defaultAnswers.push_back(defaultAnswer);
          events << "question: " + sQuestion;
          withdrawn = false;
          if (whileAsking) whileAsking();
          return withdrawn ? false : answer;
        },
        .showError = [this](QWidget*, const QString& sText) { errors << sText; },
        .chooseFile = [this](QWidget*, const QString&) {
          if (files.empty()) return QString();
          const QString file = files.front();
          files.pop_front();
          return file;
        },
        .execModal = [this](QDialog& dialog) { return record(dialog); },
        .beep = [this] { ++beeps; },
        .withdrawQuestion = [this] {
          withdrawn = true;
          events << "withdrawn";
        },
    };
  }

  bool answer = false;                // the answer to every question
  std::deque<QString> files;          // what the file dialog returns, in turn
  QStringList questions;
  std::vector<TDefaultAnswer> defaultAnswers;  // one per question
  QStringList errors;
  QStringList messages;               // texts of the message window
  std::vector<QRect> messageOutlines;
  QStringList plainMessages;          // message boxes shown instead
  std::vector<TOverview> overviews;
  int beeps = 0;
  // What happens while a question is open, before the user answers: the
  // program may withdraw the question meanwhile.
  std::function<void()> whileAsking;
  bool withdrawn = false;             // the last question was withdrawn
  QStringList events;                 // questions, withdrawals and messages, in order

private:
  int record(QDialog& dialog) {
    if (auto* message = qobject_cast<TfrmMessage*>(&dialog)) {
      messages << message->Memo1->toPlainText();
      events << "message: " + messages.last();
      messageOutlines.push_back(message->frameGeometry());
      // The documentation's pictures of a closing message come from here.
      if (const char* picture = std::getenv("KELVRY_MESSAGE_PICTURE")) message->grab().save(picture);
    } else if (auto* info = qobject_cast<TfrmInfo*>(&dialog)) {
      overviews.push_back(describe(*info));
    } else if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
      plainMessages << box->text();
    }
    return QDialog::Accepted;
  }

  static TOverview describe(TfrmInfo& info) {
    TOverview overview{.outline = info.frameGeometry(), .rows = {}, .columnWidths = {}, .clientWidth = info.width()};
    for (int row = 0; row < info.ListView1->topLevelItemCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < info.ListView1->columnCount(); ++column)
        cells << info.ListView1->topLevelItem(row)->text(column);
      overview.rows.push_back(cells);
    }
    for (int column = 0; column < info.ListView1->columnCount(); ++column)
      overview.columnWidths.push_back(info.ListView1->columnWidth(column));
    return overview;
  }
};

}  // namespace kelvry::test
