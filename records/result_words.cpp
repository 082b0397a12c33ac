#include "records/result_words.h"

#include <algorithm>
#include <array>

namespace kelvry {

namespace {

struct TResultWord {
  std::string_view word;
  std::vector<int> statuses;
};

// 20 and 21 are the engine's cancel codes (before and after the start
// command); 70 is a job told to read the logger's identity only.
const std::array<TResultWord, 3>& claimedWords() {
  static const std::array<TResultWord, 3> words = {{
      {"ok", {0}},
      {"info", {70}},
      {"cancelled", {20, 21}},
  }};
  return words;
}

}  // namespace

std::string_view resultWord(int status) {
  for (const auto& word : claimedWords())
    if (std::ranges::find(word.statuses, status) != word.statuses.end()) return word.word;
  return kFailedWord;
}

const std::vector<std::string_view>& resultWords() {
  static const std::vector<std::string_view> words = [] {
    std::vector<std::string_view> all;
    for (const auto& word : claimedWords()) all.push_back(word.word);
    all.push_back(kFailedWord);
    return all;
  }();
  return words;
}

std::vector<int> statusesOfResultWord(std::string_view name) {
  for (const auto& word : claimedWords())
    if (word.word == name) return word.statuses;
  return {};
}

std::vector<int> claimedResultStatuses() {
  std::vector<int> all;
  for (const auto& word : claimedWords()) all.insert(all.end(), word.statuses.begin(), word.statuses.end());
  return all;
}

}  // namespace kelvry
