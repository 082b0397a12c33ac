#pragma once

#include <string>
#include <string_view>
#include <vector>

// The words a department filters attempts by, for the exit statuses the
// records keep: defined here once, for the store's queries and every front
// end's help and cells.

namespace kelvry {

// "ok", "info", "cancelled" or "failed".
std::string_view resultWord(int status);

// Every word, in the order the help lists them.
const std::vector<std::string_view>& resultWords();

// The statuses a word stands for; empty for "failed", which is every status
// no other word claims (see claimedResultStatuses).
std::vector<int> statusesOfResultWord(std::string_view word);

// Every status some word other than "failed" claims.
std::vector<int> claimedResultStatuses();

inline constexpr std::string_view kFailedWord = "failed";

}  // namespace kelvry
