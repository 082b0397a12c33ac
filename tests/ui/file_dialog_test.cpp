// The update-file dialog: update files are the type offered first, every
// file is one choice away, and the dialog leaves nothing in the user's
// settings, where Qt's file dialog writes its last folder when it closes.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QTimer>

#ifdef _WIN32
#include <windows.h>
#endif

#include "tests/ui/window_fixture.h"
#include "ui/qt_dialog_settings_keeper.h"

namespace kelvry::test {
namespace {

TEST(FileDialog, OffersUpdateFilesFirst) {
  // On Windows the dialog writes into the user's registry when it closes.
  const TQtDialogSettingsKeeper keeper;
  const std::unique_ptr<QFileDialog> dialog = makeOpenFileDialog(nullptr, QDir::tempPath());
  ASSERT_EQ(dialog->nameFilters().size(), 2);
  EXPECT_EQ(dialog->nameFilters().first(), "Update files (*.upd)");
  EXPECT_EQ(dialog->selectedNameFilter(), "Update files (*.upd)");
  EXPECT_EQ(dialog->nameFilters().last(), "All files (*)");
}

// Where Qt keeps those settings: a file, or on Windows the registry key
// HKEY_CURRENT_USER\Software\QtProject, which the test looks for itself
// rather than through QSettings: opening the settings there creates it.
#ifdef _WIN32
constexpr wchar_t kStoreKey[] = L"Software\\QtProject";

bool storeExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kStoreKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void removeStore() {
  RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
  RegDeleteKeyW(HKEY_CURRENT_USER, kStoreKey);
}

// All of it, other Qt programs' groups too.
QSettings wholeStore() { return QSettings("HKEY_CURRENT_USER\\Software\\QtProject", QSettings::NativeFormat); }
#else
QString storeFile() { return QSettings(QSettings::UserScope, "QtProject").fileName(); }
bool storeExists() { return QFile::exists(storeFile()); }
void removeStore() { QFile::remove(storeFile()); }
QSettings wholeStore() { return QSettings(QSettings::UserScope, "QtProject"); }
#endif

QVariantMap entriesOf(const QSettings& settings) {
  QVariantMap entries;
  for (const QString& key : settings.allKeys()) entries.insert(key, settings.value(key));
  return entries;
}

// What another Qt program keeps there before the dialog opens: nothing at
// all, or an entry of its own.
struct TBeforeCase {
  const char* name;
  QVariantMap entries;
};

class FileDialogSettings : public testing::TestWithParam<TBeforeCase> {
protected:
  // The settings folder is the test program's own (ui_test_main.cpp); on
  // Windows the settings are the user's registry, put back as they were
  // once the test is over.
  void SetUp() override {
    FStoreExisted = storeExists();
    FSaved = entriesOf(wholeStore());
    {
      QSettings store = wholeStore();
      store.clear();
      store.sync();
    }
    {
      QSettings settings(QSettings::UserScope, "QtProject");
      for (auto it = GetParam().entries.cbegin(); it != GetParam().entries.cend(); ++it)
        settings.setValue(it.key(), it.value());
      settings.sync();
    }
    if (GetParam().entries.isEmpty()) removeStore();
  }

  void TearDown() override {
    {
      QSettings store = wholeStore();
      store.clear();
      for (auto it = FSaved.cbegin(); it != FSaved.cend(); ++it) store.setValue(it.key(), it.value());
      store.sync();
    }
    if (!FStoreExisted) removeStore();
  }

  static QVariantMap entriesNow() { return entriesOf(QSettings(QSettings::UserScope, "QtProject")); }

  bool FStoreExisted = false;
  QVariantMap FSaved;
};

TEST_P(FileDialogSettings, AreAsBeforeOnceTheDialogHasClosed) {
  QDir folder(QDir::tempPath());
  // The user looks around and cancels: Qt notes the folder it showed.
  QTimer::singleShot(0, [] {
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  EXPECT_EQ(defaultDialogHooks().chooseFile(nullptr, folder.path()), QString());

  // Looked for before the entries are read, which on Windows creates the key.
  EXPECT_EQ(storeExists(), !GetParam().entries.isEmpty());
  EXPECT_EQ(entriesNow(), GetParam().entries);
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
