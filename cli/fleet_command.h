#pragma once

#include <atomic>
#include <memory>

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "waits/cancel_token.h"
#include "firmware/firmware_sources.h"

// The update of several loggers at once from the command line: finds the
// ports (as given, every USB serial port, or new virtual loggers), runs one
// job per port and tells, for a port that did not open, why.

namespace kelvry::cli {

struct TTerminalFacts {
  bool stderrIsTerminal = false;  // draw the live board there
  int columns = 80;
};

// Runs after the question was answered and the signals are taken; returns
// the exit status.
int fleetUpdateCommand(const TCliOptions& options, const TStreams& io, TFirmwareSources sources,
                       const std::shared_ptr<TCancelToken>& cancel,
                       TTerminalFacts terminal);

}  // namespace kelvry::cli
