#include "frontend/internal_switch_qsettings.h"

#include <QSettings>
#include <QVariant>

#include "frontend/internal_switch.h"

namespace kelvry {

bool readInternalSwitchWithQSettings() {
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

}  // namespace kelvry
