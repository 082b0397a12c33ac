#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/update_request.h"

// Program-wide switches from the per-user internal-mode setting and the
// command line, read once at start-up. They belong to the front end: a job
// gets its checks in its request (jobChecks()).

namespace kelvry {

extern std::atomic<bool> bCheckClass;     // update class must equal the image's class
extern std::atomic<bool> bCheckFirmware;  // jump to the bootloader only from class 0x6617
extern std::atomic<bool> bCheckInfo;      // update info must be 0xFFFE
// The update job offers "Read info only".
inline constexpr bool bReadInfoOnlySupported = true;

extern std::atomic<int32_t> iInternalMode;        // 0 normal, 1 internal, 2 internal with update files
extern std::atomic<bool> bClearsMeasurements;     // the update clears the logger's measurements
extern std::string sTestCaption;                  // caption of the Test menu item; empty hides it

// The command line as UTF-8 words, program name first.
using TArguments = std::vector<std::string>;

// The value of option `name` (with its colon, e.g. "cc:"): the rest of the
// first argument that is longer than the name and starts with it (letters
// compared without case), at most 1000 characters; `def` when none does.
// The program name in front is never an option.
std::string GetCmdLineOption(const TArguments& arguments, std::string_view name, std::string_view def);

// Applies the options in their fixed order: the checks, "mf:", "f:".
// `internal` is the internal-mode switch as the front end read it.
void applyRunOptions(const TArguments& arguments, bool internal);

// Puts every flag back to its start-up value.
void resetRunOptions();

// The checks for the next job's request.
TJobChecks jobChecks();

}  // namespace kelvry
