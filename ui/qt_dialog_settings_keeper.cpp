#include "ui/qt_dialog_settings_keeper.h"

#include <QFile>
#include <QSettings>

namespace kelvry {

TQtDialogSettingsKeeper::TQtDialogSettingsKeeper() {
  const QSettings settings(QSettings::UserScope, "QtProject");
  for (const QString& key : settings.allKeys()) FBefore.insert(key, settings.value(key));
  FFile = settings.fileName();
  FFileExisted = QFile::exists(FFile);
}

TQtDialogSettingsKeeper::~TQtDialogSettingsKeeper() {
  {
    QSettings settings(QSettings::UserScope, "QtProject");
    settings.clear();
    for (auto it = FBefore.cbegin(); it != FBefore.cend(); ++it) settings.setValue(it.key(), it.value());
    settings.sync();
  }
  // An empty file would still be a trace of this program.
  if (!FFileExisted && FBefore.isEmpty()) QFile::remove(FFile);
}

}  // namespace kelvry
