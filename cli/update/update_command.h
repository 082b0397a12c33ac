#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/console/streams.h"
#include "driver/run_output.h"
#include "firmware/firmware_sources.h"
#include "waits/cancel_token.h"

// The update from the command line, on one port or several: finds the
// ports (as given, "auto", every USB serial port, or new virtual loggers),
// runs them, and tells, for a port that did not open, why.

namespace kelvry::cli {

struct TPortsChoice {
  std::vector<std::string> ports;
  std::string error;  // why there is no port to update; empty when chosen
};

// The serial ports the options name. Virtual loggers are started later,
// by the run.
TPortsChoice choosePorts(const TCliOptions& options);

struct TTerminalFacts {
  bool stderrIsTerminal = false;  // draw the progress line or the live board there
  int columns = 80;
};

// Runs after the question was answered and the signals are taken; returns
// the exit status. `records`, when given, is told every port's attempt.
int runUpdateOnPorts(const TCliOptions& options, const TStreams& io, std::vector<std::string> ports,
                     TFirmwareSources sources, const std::shared_ptr<TCancelToken>& cancel, TTerminalFacts terminal,
                     IRunOutput* records = nullptr);

}  // namespace kelvry::cli
