#pragma once

#include <cstdint>

// Exit statuses of kelvry-update-cli. A failed job exits with the engine's
// own error code, so scripts can tell a missing port (10) from a logger that
// has no matching firmware (47) without reading the text.

namespace kelvry {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUnexpected = 1;  // a failure outside the engine's codes
inline constexpr int kExitUsage = 2;       // bad command line, or nobody to confirm the update
// Several ports were updated and not every logger was: each port's own
// status is in the summary.
inline constexpr int kExitSomeFailed = 80;
// A report file of --log-dir could not be written whole (a full disk): the
// record a production line keeps is incomplete, which a script must hear of
// even when every logger was updated. The loggers' own statuses stay in the
// summary, the JSON results and the line that names the file. A status of
// its own, not 80, because 80 tells of loggers and this of the records: a
// script re-runs the loggers for 80 and checks the disk for 81.
inline constexpr int kExitRecordsIncomplete = 81;

// The status of a logger that was done right: 0, or 70 when the run only
// reads the loggers' data (the job then ends with "Only read update info!",
// which is its success).
int successStatus(bool readInfoOnly);

// The exit status for the error code of a failed job: the code itself when
// the engine defines it, kExitUnexpected otherwise (0 included).
int exitStatusForError(int32_t errorCode);

}  // namespace kelvry
