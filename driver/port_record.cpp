#include "driver/port_record.h"

#include "firmware/identity_names.h"
#include "frontend/job_notifications.h"

namespace kelvry {

std::string loggerText(uint16_t classWord, uint16_t versionWord) {
  std::string name;
  getClassName(classWord, kUnknownNumber, name);
  return format("%s V%d.%.2d", name.c_str(), versionWord >> 8, versionWord & 0xFF);
}

}  // namespace kelvry
