#pragma once

#include <atomic>

// Run-option flags the update job reads. The front end writes them before it
// starts a worker; the worker only reads them.

namespace kelvry {

extern std::atomic<bool> bCheckClass;     // update class must equal the image's class
extern std::atomic<bool> bCheckFirmware;  // jump to the bootloader only from class 0x6617
extern std::atomic<bool> bCheckInfo;      // update info must be 0xFFFE
extern std::atomic<bool> bReadInfoOnly;   // stop after the selection, erase nothing
extern std::atomic<bool> bReadInfoOnlySupported;  // the job offers "Read info only"

// Puts the flags back to their start-up values (tests, and a front end that
// re-applies its options).
void resetJobOptions();

}  // namespace kelvry
