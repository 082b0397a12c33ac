#pragma once

#include <QString>
#include <QVariantMap>

// Qt's file dialog writes its last folder, history and view into the user's
// settings (organisation "QtProject") when it is destroyed, whatever its
// options; the program keeps no settings of its own and leaves none behind.
// Held around a file dialog's whole life, this puts those settings back as
// they were: another Qt program's entries stay, ours go.

namespace kelvry {

class TQtDialogSettingsKeeper {
public:
  TQtDialogSettingsKeeper();
  ~TQtDialogSettingsKeeper();
  TQtDialogSettingsKeeper(const TQtDialogSettingsKeeper&) = delete;
  TQtDialogSettingsKeeper& operator=(const TQtDialogSettingsKeeper&) = delete;

private:
  // Whether the user has those settings at all: their file, or on Windows
  // their registry key (HKEY_CURRENT_USER\Software\QtProject).
  static bool storeExists();

  // The settings as they were: every key, and whether their file or
  // registry key was there.
  QVariantMap FBefore;
  bool FStoreExisted = false;
};

}  // namespace kelvry
