#pragma once

#include "cli/cli_options.h"
#include "cli/console/streams.h"

// kelvry-update-cli --history: the attempts kept in --records, newest
// first, as an aligned table, JSON lines (--json) or CSV (--csv).

namespace kelvry::cli {

int historyCommand(const TCliOptions& options, const TStreams& io);

}  // namespace kelvry::cli
