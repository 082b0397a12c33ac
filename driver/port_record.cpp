#include "driver/port_record.h"

#include "firmware/identity_names.h"
#include "frontend/job_notifications.h"
#include "frontend/text_format.h"

namespace kelvry {

std::string loggerText(uint16_t classWord, uint16_t versionWord) {
  std::string name;
  getClassName(classWord, kUnknownNumber, name);
  return format("%s V%d.%.2d", name.c_str(), versionWord >> 8, versionWord & 0xFF);
}

std::string imageText(const TBl3FileHeader& h) {
  std::string name;
  std::string print;
  getClassName(h.tarvo_class, h.tarvo_print, name);
  getPrintName(h.tarvo_print, print);
  return format("%s V%d.%.2d %s", name.c_str(), h.tarvo_verH, h.tarvo_verL, print.c_str());
}

}  // namespace kelvry
