#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include "serial/port_list.h"

namespace kelvry {

// Notices when a serial port may have arrived or gone. On Linux the kernel
// creates and removes the device nodes in the /dev folder, which a file
// system watcher sees at once; a slow poll catches what the watcher cannot (a
// dev folder on a file system without change notification). On Windows the
// system's device-change messages for ports tell it (port_watcher_windows.cpp).
class TPortWatcher : public QObject {
  Q_OBJECT

public:
  explicit TPortWatcher(const TPortListRoots& roots, QObject* parent = nullptr);

signals:
  void devicesMayHaveChanged();

private:
  QFileSystemWatcher FWatcher;  // Linux only
  QTimer FPoll;
};

}  // namespace kelvry
