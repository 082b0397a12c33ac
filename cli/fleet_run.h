#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/fleet_output.h"
#include "cli/port_record.h"
#include "cli/terminal_job_view.h"
#include "waits/cancel_token.h"
#include "engine/update_request.h"
#include "serial/transport.h"

// Several loggers updated at once, one job per port, all in this process.
// Each port has its own worker, request, automatic repeats and closing
// message, exactly as a single update; a cancel (Ctrl-C, SIGTERM ...) stops
// all of them, and the run returns only when every port has been released.

namespace kelvry::cli {

struct TFleetSettings {
  TJobViewSettings job;       // what every port runs; port and port text are set per port
  TFleetOutputSettings output;  // its ports are the ports to update
  // Where each port's jobs find their logger, in the order of the ports;
  // missing: the platform's serial port.
  std::vector<TJobEnvironment> environments;
};

struct TFleetResult {
  int exitStatus = 0;
  std::vector<TPortRecord> records;          // in the order of the ports
  std::vector<TSerialFailure> portFailures;  // why a port did not open (status 10), per port
};

// The process's exit status for the ports' own statuses: a single port's
// own; for several, 0 when every logger was updated (or, reading info only,
// 70 when every logger was read), else kExitSomeFailed.
int fleetExitStatus(const std::vector<TPortRecord>& records, bool readInfoOnly);

// `cancel` is the run's token, which a signal sets; each port runs below a
// child of it. Throws std::runtime_error before any job starts when the
// report files cannot be written.
TFleetResult runFleet(const TFleetSettings& settings, const std::shared_ptr<TCancelToken>& cancel,
                      std::ostream& out, std::ostream& err);

}  // namespace kelvry::cli
