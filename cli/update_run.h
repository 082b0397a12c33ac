#pragma once

#include <iosfwd>
#include <memory>

#include "cli/progress_line.h"
#include "cli/terminal_job_view.h"
#include "waits/cancel_token.h"
#include "engine/update_request.h"
#include "serial/transport.h"

// One update from the command line: runs the job of `settings.request`
// through a job session, hands its notifications to the shared handler on
// this thread, repeats the job when the handler asks for it, and returns the
// exit status once the last worker has ended and been joined.

namespace kelvry::cli {

// `cancel` is the run's token, which a signal sets; `portError`, when given,
// receives why the last worker could not open the port. The jobs find their
// serial line and clock in `environment`.
int runUpdate(const TJobViewSettings& settings, std::shared_ptr<TCancelToken> cancel, std::ostream& out,
              TProgressLine& progress, const TJobEnvironment& environment, TSerialFailure* portError = nullptr);

}  // namespace kelvry::cli
