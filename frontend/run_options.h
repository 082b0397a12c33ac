#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/update_request.h"

// The switches of one program run, from the per-user internal-mode setting
// and the command line, read once at start-up and handed as a value to what
// needs them (the window, the command line's actions). A job gets its checks
// in its request (jobChecks()).

namespace kelvry {

// The update job offers "Read info only".
inline constexpr bool bReadInfoOnlySupported = true;

struct TRunOptions {
  bool bCheckClass = true;       // update class must equal the image's class
  bool bCheckFirmware = true;    // jump to the bootloader only from class 0x6617
  bool bCheckInfo = true;        // update info must be 0xFFFE
  int32_t iInternalMode = 0;     // 0 normal, 1 internal, 2 internal with update files
  bool bClearsMeasurements = false;  // the update clears the logger's measurements
  std::string sTestCaption;      // caption of the Test menu item; empty hides it

  // The checks for a job's request.
  TJobChecks jobChecks() const { return {bCheckClass, bCheckFirmware, bCheckInfo}; }
};

// The command line as UTF-8 words, program name first.
using TArguments = std::vector<std::string>;

// The value of option `name` (with its colon, e.g. "cc:"): the rest of the
// first argument that is longer than the name and starts with it (letters
// compared without case), at most 1000 characters; `def` when none does.
// The program name in front is never an option.
std::string GetCmdLineOption(const TArguments& arguments, std::string_view name, std::string_view def);

// The options the command line gives, read in their fixed order: the
// checks, "mf:", "f:". `internal` is the internal-mode switch as the front
// end read it.
TRunOptions runOptionsFrom(const TArguments& arguments, bool internal);

}  // namespace kelvry
