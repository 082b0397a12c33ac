#include "records/attempt_record.h"

namespace kelvry {

std::string loggerKey(const TAttemptRecord& record) {
  return record.usb.serial.empty() ? "port:" + record.port : record.usb.serial;
}

std::string firmwareAfterAttempt(const TAttemptRecord& record) {
  return record.after.version.empty() ? record.before.version : record.after.version;
}

}  // namespace kelvry
