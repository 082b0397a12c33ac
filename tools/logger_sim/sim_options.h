#pragma once

#include <string>
#include <vector>

#include "tools/logger_sim/virtual_logger.h"

namespace kelvry::sim {

// What the command line of kelvry-logger-sim asks for.
struct TSimOptions {
  TLoggerConfig config;
  std::string flashOut;        // where to write the flash; empty for nowhere
  bool quiet = false;          // no log on stderr
  bool exitAfterStart = false; // end once a started application has answered its identity query
  bool help = false;
  bool showVersion = false;    // --version without a value: the program's version
};

struct TSimOptionsResult {
  TSimOptions options;
  std::string error;  // empty when the command line was understood
};

// Parses the arguments after the program name. Numbers are decimal or, with
// a 0x prefix, hexadecimal.
TSimOptionsResult parseSimOptions(const std::vector<std::string>& args);

std::string simUsage();

}  // namespace kelvry::sim
