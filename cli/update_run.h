#pragma once

#include <atomic>
#include <iosfwd>

#include "cli/progress_line.h"
#include "cli/terminal_job_view.h"
#include "serial/serial_port.h"

// One update from the command line: starts a worker through CommThreadClass,
// hands its notifications to the shared handler on this thread, repeats the
// job when the handler asks for it, and returns the exit status once the
// last worker has ended and been joined.

namespace kelvry::cli {

// `portError`, when given, receives why the last worker could not open the
// port.
int runUpdate(const TJobViewSettings& settings, const std::atomic<bool>& cancelRequested, std::ostream& out,
              TProgressLine& progress, TPortOpenError* portError = nullptr);

}  // namespace kelvry::cli
