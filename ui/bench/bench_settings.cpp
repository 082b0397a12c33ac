#include "ui/bench/bench_settings.h"

#include <algorithm>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace kelvry {

namespace {

std::string defaultRecordsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (documents.isEmpty()) return {};
  return QDir::toNativeSeparators(QDir(documents).filePath("Kelvry Bench")).toStdString();
}

}  // namespace

TBenchOptions loadBenchOptions() {
  QSettings stored(QSettings::NativeFormat, QSettings::UserScope, "Kelvry", "Kelvry Bench");
  TBenchOptions options;
  options.filter = stored.value("filter").toString().toStdString();
  options.recordsFolder = stored.contains("recordsFolder") ? stored.value("recordsFolder").toString().toStdString()
                                                            : defaultRecordsFolder();
  options.expect = std::max(0, stored.value("expect", 0).toInt());
  options.soundDone = stored.value("soundDone", true).toBool();
  options.soundFailed = stored.value("soundFailed", true).toBool();
  return options;
}

void saveBenchOptions(const TBenchOptions& options) {
  QSettings stored(QSettings::NativeFormat, QSettings::UserScope, "Kelvry", "Kelvry Bench");
  stored.setValue("filter", QString::fromStdString(options.filter));
  stored.setValue("recordsFolder", QString::fromStdString(options.recordsFolder));
  stored.setValue("expect", options.expect);
  stored.setValue("soundDone", options.soundDone);
  stored.setValue("soundFailed", options.soundFailed);
}

}  // namespace kelvry
