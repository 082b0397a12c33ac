#pragma once

#include <iosfwd>

#include "cli/cli_options.h"

// The actions of kelvry-update-cli. Each returns the process exit status;
// the run options (internal mode, the window's option words) are applied
// before any of them runs.

namespace kelvry::cli {

struct TStreams {
  std::ostream& out;  // results: report, tables, port names
  std::ostream& err;  // errors, the question, the progress line
  std::istream& in;   // the answer to the question
};

int listPortsCommand(const TStreams& io);
int listFirmwareCommand(const TCliOptions& options, const TStreams& io);
int fileInfoCommand(const TCliOptions& options, const TStreams& io);
int updateCommand(const TCliOptions& options, const TStreams& io);

// Runs the action the options name.
int runCommand(const TCliOptions& options, const TStreams& io);

}  // namespace kelvry::cli
