#pragma once

#include <string_view>
#include <vector>

// The records' tables in both engines, as the ordered steps that build them:
// a store at version n has run steps 1 to n, and opening it runs the rest.
// A step, once released, never changes; a change is a new step.

namespace kelvry {

// Step i (from 1) is element i - 1: SQL both SQLite and PostgreSQL take,
// one or more statements.
const std::vector<std::string_view>& schemaSteps();

// The version a store has after every step: the number of steps.
int currentSchemaVersion();

// The schema version as SQLite keeps it (PRAGMA user_version) and the mark
// of a records file (PRAGMA application_id, "KLVR").
inline constexpr int kRecordsApplicationId = 0x4B4C5652;

}  // namespace kelvry
