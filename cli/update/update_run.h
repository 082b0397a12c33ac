#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "cli/outputs/run_output_set.h"
#include "driver/port_run.h"
#include "engine/update_request.h"
#include "serial/transport.h"
#include "waits/cancel_token.h"

// One run of the command line: one port or several, each with its own
// worker, request, automatic repeats and closing message, all in this
// process. A cancel (Ctrl-C, SIGTERM ...) stops every port, and the run
// returns only when every port has been released.

namespace kelvry::cli {

struct TRunSettings {
  TJobViewSettings job;       // what every port runs; port and port text are set per port
  TRunOutputSettings output;  // its ports are the ports to update
  // Where each port's jobs find their logger, in the order of the ports;
  // missing: the platform's serial port.
  std::vector<TJobEnvironment> environments;
};

struct TRunResult {
  int exitStatus = 0;
  std::vector<TPortOutcome> ports;  // in the order of the ports
};

// `cancel` is the run's token, which a signal sets; each port runs below a
// child of it. Throws std::runtime_error before any job starts when the
// report files cannot be made; exits kExitRecordsIncomplete when one could
// not be written whole, whatever the loggers did.
TRunResult runPorts(const TRunSettings& settings, const std::shared_ptr<TCancelToken>& cancel, std::ostream& out,
                    std::ostream& err);

}  // namespace kelvry::cli
