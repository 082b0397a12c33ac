#include "frontend/run_options.h"

#include <QSettings>
#include <QVariant>

namespace kelvry {

std::atomic<bool> bCheckClass{true};
std::atomic<bool> bCheckFirmware{true};
std::atomic<bool> bCheckInfo{true};
std::atomic<int32_t> iInternalMode{0};
std::atomic<bool> bClearsMeasurements{false};
std::string sTestCaption;

namespace {

constexpr qsizetype kMaxOptionValue = 1000;
constexpr qlonglong kInternalSwitchValue = 7319;

// The checks a developer may relax from the command line in internal mode.
struct TCheckOption {
  const char* name;
  std::atomic<bool>* flag;
};

const TCheckOption kCheckOptions[] = {
    {"cc:", &bCheckClass},
    {"cf:", &bCheckFirmware},
    {"ci:", &bCheckInfo},
};

}  // namespace

QString GetCmdLineOption(const QStringList& arguments, const QString& name, const QString& def) {
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument.size() > name.size() && argument.startsWith(name, Qt::CaseInsensitive)) {
      return argument.mid(name.size(), kMaxOptionValue);
    }
  }
  return def;
}

bool ReadInternalSwitch() {
  const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Dralmor", "Tarvo");
  const QVariant value = settings.value("intern");
  switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
      return value.toLongLong() == kInternalSwitchValue;
    case QMetaType::QString:
      // Text-based setting stores (an ini file) hand every number back as
      // text; only the plain digits count, as they would for an integer.
      return value.toString() == QString::number(kInternalSwitchValue);
    default:
      return false;
  }
}

void applyRunOptions(const QStringList& arguments, bool internal) {
  if (internal) {
    for (const TCheckOption& check : kCheckOptions) {
      if (GetCmdLineOption(arguments, check.name, "") == "-") *check.flag = false;
    }
  }
  // Read twice on purpose: only the first "mf:" argument counts, whichever
  // of the two values it carries.
  if (GetCmdLineOption(arguments, "mf:", "") == "+") bClearsMeasurements = true;
  if (GetCmdLineOption(arguments, "mf:", "") == "-") bClearsMeasurements = false;
  if (internal) {
    iInternalMode = GetCmdLineOption(arguments, "f:", "-") == "+" ? 2 : 1;
  }
}

TJobChecks jobChecks() { return {bCheckClass, bCheckFirmware, bCheckInfo}; }

void resetRunOptions() {
  bCheckClass = true;
  bCheckFirmware = true;
  bCheckInfo = true;
  iInternalMode = 0;
  bClearsMeasurements = false;
  sTestCaption.clear();
}

}  // namespace kelvry
