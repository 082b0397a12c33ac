#pragma once

#include "frontend/run_options.h"

// The command line as UTF-8, program name first. On Windows it is taken
// from the system as UTF-16, so that a path in German, Greek or Chinese
// arrives whole whatever the system's code page is.

namespace kelvry::cli {

TArguments programArguments(int argc, char* argv[]);

}  // namespace kelvry::cli
