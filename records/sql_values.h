#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A value handed to either engine as a bound parameter: SQL text never holds
// a value itself, so nothing a logger or a user types can change a query.

namespace kelvry {

using TSqlValue = std::variant<int64_t, std::string>;

// How an engine numbers its parameters: SQLite's "?" and PostgreSQL's "$n".
enum class TPlaceholders { Question, Dollar };

// The placeholder for parameter `index` (from 1).
std::string placeholder(TPlaceholders style, size_t index);

struct TSqlQuery {
  std::string sql;
  std::vector<TSqlValue> parameters;
};

}  // namespace kelvry
