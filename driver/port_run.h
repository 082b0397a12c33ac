#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "driver/port_job_view.h"
#include "driver/port_record.h"
#include "driver/run_output.h"
#include "serial/transport.h"
#include "waits/cancel_token.h"

// One port's jobs from the first start to the last notification: the road
// every logger takes, whether the command line updates one port, several
// named ones or a bench of loggers, or the bench window does.

namespace kelvry {

struct TPortOutcome {
  TPortRecord record;
  TSerialFailure portFailure;  // why the port did not open (status 10)
};

// The process's exit status for the ports' own statuses: a single port's
// own; for several, 0 when every logger was updated (or, reading info only,
// 70 when every logger was read), else kExitSomeFailed.
int runExitStatus(const std::vector<TPortOutcome>& ports, bool readInfoOnly);

// Runs one port's jobs on the calling thread, from the first start to the
// last notification, under `cancel` (a child of the run's token), and tells
// `output` as port `index`.
TPortOutcome runPort(TJobViewSettings settings, const TJobEnvironment& environment, size_t index,
                     std::shared_ptr<TCancelToken> cancel, IRunOutput& output);

}  // namespace kelvry
