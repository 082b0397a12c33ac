#include "ui/port_watcher.h"

#include <QString>

namespace kelvry {

namespace {
constexpr int kPollMs = 2000;
}  // namespace

TPortWatcher::TPortWatcher(const TPortListRoots& roots, QObject* parent) : QObject(parent) {
  FWatcher.addPath(QString::fromStdString(roots.dev));
  connect(&FWatcher, &QFileSystemWatcher::directoryChanged, this, &TPortWatcher::devicesMayHaveChanged);
  connect(&FPoll, &QTimer::timeout, this, &TPortWatcher::devicesMayHaveChanged);
  FPoll.start(kPollMs);
}

}  // namespace kelvry
