// The update-file dialog: update files are the type offered first, every
// file is one choice away, and the dialog leaves nothing in the user's
// settings, where Qt's file dialog writes its last folder when it closes.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QTimer>

#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

TEST(FileDialog, OffersUpdateFilesFirst) {
  const std::unique_ptr<QFileDialog> dialog = makeOpenFileDialog(nullptr, QDir::tempPath());
  ASSERT_EQ(dialog->nameFilters().size(), 2);
  EXPECT_EQ(dialog->nameFilters().first(), "Update files (*.upd)");
  EXPECT_EQ(dialog->selectedNameFilter(), "Update files (*.upd)");
  EXPECT_EQ(dialog->nameFilters().last(), "All files (*)");
}

// What another Qt program keeps there before the dialog opens: nothing at
// all, or an entry of its own.
struct TBeforeCase {
  const char* name;
  QVariantMap entries;
};

class FileDialogSettings : public testing::TestWithParam<TBeforeCase> {
protected:
  void SetUp() override {
    // The settings folder is the test program's own (ui_test_main.cpp).
    QSettings settings(QSettings::UserScope, "QtProject");
    settings.clear();
    for (auto it = GetParam().entries.cbegin(); it != GetParam().entries.cend(); ++it)
      settings.setValue(it.key(), it.value());
    settings.sync();
    FFile = settings.fileName();
    if (GetParam().entries.isEmpty()) QFile::remove(FFile);
  }

  QVariantMap entriesNow() const {
    const QSettings settings(QSettings::UserScope, "QtProject");
    QVariantMap entries;
    for (const QString& key : settings.allKeys()) entries.insert(key, settings.value(key));
    return entries;
  }

  QString FFile;
};

TEST_P(FileDialogSettings, AreAsBeforeOnceTheDialogHasClosed) {
  QDir folder(QDir::tempPath());
  // The user looks around and cancels: Qt notes the folder it showed.
  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  EXPECT_EQ(defaultDialogHooks().chooseFile(nullptr, folder.path()), QString());

  EXPECT_EQ(entriesNow(), GetParam().entries);
  EXPECT_EQ(QFile::exists(FFile), !GetParam().entries.isEmpty()) << FFile.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileDialogSettings,
    testing::Values(TBeforeCase{"NoneBefore", {}},
                    TBeforeCase{"AnotherProgramsEntry", {{"FileDialog/lastVisited", "file:///srv/elsewhere"}}}),
    [](const testing::TestParamInfo<TBeforeCase>& param) { return param.param.name; });

// The chosen file as the platform writes paths, in the messages too: a path
// the window cannot read is named with backslashes on Windows.
class UpdateFilePath : public TWindowTest {};

TEST_F(UpdateFilePath, UnreadableFileIsNamedInThePlatformsSpelling) {
  openWindow({"f:+"}, true);
  frmMain->cbxPort->setEditText("/dev/ttyUSB0");
  const QString chosen = QDir::tempPath() + "/kelvry-no-such-folder/update.upd";
  dialogs.files.push_back(chosen);
  frmMain->btnFileClick();

  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors.first().contains(QDir::toNativeSeparators(chosen)))
      << dialogs.errors.first().toStdString();
  EXPECT_FALSE(frmMain->isJobRunning());
}

}  // namespace
}  // namespace kelvry::test
