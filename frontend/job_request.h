#pragma once

#include <string>

#include "engine/update_request.h"

namespace kelvry {

// The request of a job as every front end builds it: the port, the command,
// whether to stop after reading the logger's data, the firmware, and the
// checks the run options leave in force (TRunOptions::jobChecks()).
TUpdateRequest jobRequest(const std::string& sPort, TCmd cmd, bool bReadInfoOnly, TFirmwareSources sources,
                          TJobChecks checks);

}  // namespace kelvry
