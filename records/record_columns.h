#pragma once

#include <string>
#include <vector>

#include "records/attempt_record.h"
#include "records/sql_values.h"

// A record as a row of the attempts table and back, the same for both
// engines: the column list, the values to bind, and the record from the
// texts a query returns.

namespace kelvry {

// The table's columns in the order recordValues gives them, joined by ", "
// with `prefix` before each ("a." for a query with an alias).
std::string recordColumnList(const std::string& prefix = "");

std::vector<TSqlValue> recordValues(const TAttemptRecord& record);

// The record from one row's texts in column order (as `SELECT <list>` gives
// them, numbers as decimal text).
TAttemptRecord recordFromTexts(const std::vector<std::string>& texts);

// The insert that keeps the first delivery of an id and ignores the others.
std::string insertRecordSql(TPlaceholders style);

}  // namespace kelvry
