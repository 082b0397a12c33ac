#include "ui/qt_dialog_settings_keeper.h"

#include <QFile>
#include <QSettings>

namespace kelvry {
namespace {

constexpr auto kOrganization = "QtProject";

#ifdef Q_OS_WIN
// On Windows the settings are a registry key, Software\QtProject of the
// current user. Opening them through QSettings already creates it, so
// whether it is there is asked of its parent key.
constexpr auto kParentKey = "HKEY_CURRENT_USER\\Software";
#endif

}  // namespace

bool TQtDialogSettingsKeeper::storeExists() {
#ifdef Q_OS_WIN
  const QSettings parent(kParentKey, QSettings::NativeFormat);
  return parent.childGroups().contains(kOrganization, Qt::CaseInsensitive);
#else
  return QFile::exists(QSettings(QSettings::UserScope, kOrganization).fileName());
#endif
}

TQtDialogSettingsKeeper::TQtDialogSettingsKeeper() : FStoreExisted(storeExists()) {
  const QSettings settings(QSettings::UserScope, kOrganization);
  for (const QString& key : settings.allKeys()) FBefore.insert(key, settings.value(key));
}

TQtDialogSettingsKeeper::~TQtDialogSettingsKeeper() {
  QString sFile;
  {
    QSettings settings(QSettings::UserScope, kOrganization);
    settings.clear();
    for (auto it = FBefore.cbegin(); it != FBefore.cend(); ++it) settings.setValue(it.key(), it.value());
    settings.sync();
    sFile = settings.fileName();
  }
  // An empty file or registry key would still be a trace of this program.
  if (FStoreExisted || !FBefore.isEmpty()) return;
#ifdef Q_OS_WIN
  QSettings parent(kParentKey, QSettings::NativeFormat);
  parent.beginGroup(kOrganization);
  // Whatever another program wrote there meanwhile stays.
  const bool bEmpty = parent.allKeys().isEmpty();
  parent.endGroup();
  if (bEmpty) parent.remove(kOrganization);
  parent.sync();
#else
  QFile::remove(sFile);
#endif
}

}  // namespace kelvry
