#pragma once

#include <memory>

#include "cli/cli_options.h"
#include "cli/console/streams.h"
#include "cli/update/update_command.h"
#include "firmware/firmware_sources.h"
#include "waits/cancel_token.h"

// kelvry-update-cli --bench: updates every logger plugged in while it runs,
// on the USB serial ports that pass --port-filter, or on virtual loggers
// with --simulate N, until Ctrl-C or --expect N loggers have finished.

namespace kelvry::cli {

// Runs after the question was answered and the signals are taken; returns
// the exit status. `records`, when given, is told every logger's attempt.
int runBenchCommand(const TCliOptions& options, const TStreams& io, TFirmwareSources sources,
                    const std::shared_ptr<TCancelToken>& cancel, TTerminalFacts terminal,
                    IRunOutput* records = nullptr);

}  // namespace kelvry::cli
