#pragma once

#include <string>

#include "records/attempt_record.h"

// One attempt as one JSON line for scripts. The result's status, text,
// loggers, image, SHA-256, repeats and seconds sit under the keys a run's
// JSON result line uses, so one script reads both.

namespace kelvry {

std::string historyJsonLine(const TAttemptRecord& record);

}  // namespace kelvry
