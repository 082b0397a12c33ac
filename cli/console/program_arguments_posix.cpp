#include "cli/console/program_arguments.h"

namespace kelvry::cli {

// POSIX hands the bytes over as they were typed: UTF-8 on every current
// system.
TArguments programArguments(int argc, char* argv[]) { return TArguments(argv, argv + argc); }

}  // namespace kelvry::cli
