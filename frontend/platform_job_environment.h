#pragma once

#include "engine/update_request.h"

namespace kelvry {

// Jobs on the serial ports of the platform the program runs on, in real
// time: what the window and the command line hand their jobs when no virtual
// logger stands in for the logger.
TJobEnvironment platformJobEnvironment();

}  // namespace kelvry
