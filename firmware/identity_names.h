#pragma once

#include <cstdint>
#include <string>

// Display names of the three numbers a logger and a firmware header describe
// themselves with: class (device type, or bootloader generation), platform
// (processor variant) and print (board and radio variant). A number the
// tables do not hold is named "?". The tables are constant, so both threads
// may call these freely.

namespace kelvry {

inline constexpr uint16_t kUnknownNumber = 0xFFFF;

// The print chooses among the variant names of the two classes that come
// with several radio modules; pass 0xFFFF for the family's generic name.
void getClassName(uint16_t cls, uint16_t print, std::string& name);
void getPlatformName(uint16_t platform, std::string& name);
void getPrintName(uint16_t print, std::string& name);

// The number itself when its table knows it, 0xFFFF otherwise. The job cleans
// what it reads from a logger with these before comparing it with headers.
uint16_t validClass(uint16_t cls);
uint16_t validPlatform(uint16_t platform);
uint16_t validPrint(uint16_t print);

}  // namespace kelvry
