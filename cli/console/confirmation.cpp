#include "cli/console/confirmation.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <regex>

namespace kelvry::cli {

namespace {

std::string trimmed(const std::string& text) {
  const auto isSpace = [](unsigned char ch) { return std::isspace(ch) != 0; };
  const auto first = std::find_if_not(text.begin(), text.end(), isSpace);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), isSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

bool askYesNo(const std::string& question, std::istream& answers, std::ostream& prompt) {
  // A terminal wants plain line feeds; the question keeps its own words.
  prompt << std::regex_replace(question, std::regex("\r\n"), "\n") << " [y/N] " << std::flush;
  std::string line;
  if (!std::getline(answers, line)) {
    prompt << '\n';
    return false;
  }
  std::string answer = trimmed(line);
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return answer == "y" || answer == "yes";
}

}  // namespace kelvry::cli
