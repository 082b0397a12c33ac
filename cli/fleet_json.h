#pragma once

#include <chrono>
#include <string>

#include "cli/port_event.h"
#include "cli/port_record.h"

// The machine-readable output of a run for scripts and line controllers:
// one JSON object per line. Every notification a port's job posted gives
// one object (port, time, notification code and value, its report text
// and, when it closed the job, the closing message); each port ends with
// one object that holds its result.

namespace kelvry::cli {

std::string eventJsonLine(const std::string& port, std::chrono::system_clock::time_point when,
                          const TPortEvent& event);
std::string resultJsonLine(const TPortRecord& record, std::chrono::system_clock::time_point when);

}  // namespace kelvry::cli
