#pragma once

#include "cli/cli_options.h"
#include "cli/console/streams.h"

// The actions of kelvry-update-cli. Each returns the process exit status;
// the run options (internal mode, the window's option words) are applied
// before any of them runs.

namespace kelvry::cli {

int listPortsCommand(const TStreams& io);
int listFirmwareCommand(const TCliOptions& options, const TStreams& io);
int fileInfoCommand(const TCliOptions& options, const TStreams& io);
int updateCommand(const TCliOptions& options, const TStreams& io);

// Runs the action the options name.
int runCommand(const TCliOptions& options, const TStreams& io);

}  // namespace kelvry::cli
