#pragma once

#include <atomic>
#include <iosfwd>
#include <memory>

#include "cli/progress_line.h"
#include "cli/terminal_job_view.h"
#include "engine/cancel_token.h"
#include "engine/update_request.h"
#include "serial/transport.h"

// One update from the command line: runs the job of `settings.request`
// through a job session, hands its notifications to the shared handler on
// this thread, repeats the job when the handler asks for it, and returns the
// exit status once the last worker has ended and been joined.

namespace kelvry::cli {

// `cancel` is the token a signal sets; `portError`, when given, receives why
// the last worker could not open the port. The jobs find their serial line
// and clock in `environment` (empty: the platform's serial port).
int runUpdate(const TJobViewSettings& settings, std::shared_ptr<TCancelToken> cancel,
              const std::atomic<bool>& cancelRequested, std::ostream& out, TProgressLine& progress,
              TSerialFailure* portError = nullptr, const TJobEnvironment& environment = {});

}  // namespace kelvry::cli
