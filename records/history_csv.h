#pragma once

#include <string>
#include <vector>

#include "records/attempt_record.h"

// The history for a spreadsheet: every field of every attempt, one row
// each, quoted as RFC 4180 says (fields with a comma, a quote or a line
// break in double quotes, quotes doubled, rows ended by CR LF).

namespace kelvry {

// The header row and one row per record.
std::string historyCsv(const std::vector<TAttemptRecord>& records);

// One field as it stands in a CSV row.
std::string csvField(const std::string& text);

}  // namespace kelvry
