#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <QStringList>

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

// The value of option `name` (with its colon, e.g. "cc:"): the rest of the
// first argument that is longer than the name and starts with it
// (case-insensitive), at most 1000 characters; `def` when none does.
// `arguments` is the whole command line as QCoreApplication::arguments()
// gives it; the program name in front is never an option.
QString GetCmdLineOption(const QStringList& arguments, const QString& name, const QString& def);

// True when the per-user setting "intern" (organization "Dralmor",
// application "Tarvo") holds the number 7319.
bool ReadInternalSwitch();

// Applies the options in their fixed order: the checks, "mf:", "f:".
// `internal` is the result of ReadInternalSwitch.
void applyRunOptions(const QStringList& arguments, bool internal);

// Puts every flag back to its start-up value.
void resetRunOptions();

// The checks for the next job's request.
TJobChecks jobChecks();

}  // namespace kelvry
