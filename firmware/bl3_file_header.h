#pragma once

#include <cstdint>
#include <string>

namespace kelvry {

// Says which logger a firmware is for. Copied by value.
struct TBl3FileHeader {
  uint16_t tarvo_class = 0;     // logger class the firmware is for
  uint16_t tarvo_verH = 0;      // version, major part
  uint16_t tarvo_verL = 0;      // version, minor part (shown with two digits)
  uint16_t tarvo_platform = 0;  // processor variant
  uint16_t tarvo_print = 0;     // board and radio variant
  std::string tarvo_date;       // free text, e.g. "04.04.2024 15:53:54"
  uint16_t tarvo_bl = 0;        // bootloader generation needed: 2, 3, 0xFFFF unknown
  uint16_t tarvo_bl_ver = 0;    // bootloader version, minor part

  friend bool operator==(const TBl3FileHeader&, const TBl3FileHeader&) = default;
};

}  // namespace kelvry
