#pragma once

// A shell's file-size limit (ulimit -f) must not kill a run in the middle of
// flashing: by default the system ends a process with SIGXFSZ when a write
// passes the limit, leaving every logger half-programmed and no summary.
// With the signal ignored the write fails with "File too large" instead,
// and the record that could not be written whole is told like any other
// failed write, while the loggers' updates go on.

namespace kelvry {

// Called once at start by every program that keeps records.
void keepRunningPastFileSizeLimit();

}  // namespace kelvry
