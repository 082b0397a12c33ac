#pragma once

#include <cstdint>

namespace kelvry {

// Decodes one upper-case hexadecimal digit. Lower-case digits are refused:
// the bootloader speaks upper case only. The output is left unchanged when
// the character is refused.
constexpr bool hexDigitValue(char c, uint8_t& value) {
  if (c >= '0' && c <= '9') {
    value = static_cast<uint8_t>(c - '0');
    return true;
  }
  if (c >= 'A' && c <= 'F') {
    value = static_cast<uint8_t>(c - 'A' + 10);
    return true;
  }
  return false;
}

// The upper-case digit of the low four bits of a byte.
constexpr char nibbleToHexDigit(uint8_t b) { return "0123456789ABCDEF"[b & 0x0F]; }

}  // namespace kelvry
