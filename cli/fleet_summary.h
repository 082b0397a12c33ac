#pragma once

#include <string>
#include <vector>

#include "cli/port_record.h"

// The table printed at the end of a run over several ports: one row per
// port with the logger before and after, the firmware installed, the
// port's own exit status, its closing message and how long it took.

namespace kelvry::cli {

std::string fleetSummary(const std::vector<TPortRecord>& records);

}  // namespace kelvry::cli
