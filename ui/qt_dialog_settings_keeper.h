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
  // The settings as they were: every key, and whether their file existed
  // (on Windows they are in the registry and there is no file).
  QVariantMap FBefore;
  QString FFile;
  bool FFileExisted = false;
};

}  // namespace kelvry
