#pragma once

#include <string>
#include <vector>

#include "records/attempt_record.h"

// The history as a person reads it: a few columns per attempt, their
// headers and cell texts. Drawing them as an aligned table is the front
// end's.

namespace kelvry {

const std::vector<std::string>& historyHeaders();

// One cell per header.
std::vector<std::string> historyCells(const TAttemptRecord& record);

// "2026-12-10 14:05:09", UTC to the second, as a person reads it.
std::string readableUtc(TUtcTime when);

}  // namespace kelvry
