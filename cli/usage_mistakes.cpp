#include "cli/usage_mistakes.h"

#include <CLI/CLI.hpp>

#include <map>

#include "serial/visible_text.h"

namespace kelvry::cli {

namespace {

constexpr size_t kShownCharacters = 60;

// What each option's value is, as the messages name it.
std::string valueNoun(const std::string& option) {
  static const std::map<std::string, std::string, std::less<>> kNouns{
      {"--port", "a port name"},        {"--log-dir", "a folder"},
      {"--file", "a file name"},        {"--file-info", "a file name"},
      {"--max-repeats", "a number"}};
  const auto noun = kNouns.find(option);
  return noun != kNouns.end() ? noun->second : "a value";
}

// "--x" or "-x"; "-1" stays a value (a count, a repeat bound) and "-" a
// name (stdin, by convention).
bool looksLikeOption(std::string_view argument) {
  if (argument.starts_with("--")) return argument.size() > 2;
  return argument.size() > 1 && argument[0] == '-' && !(argument[1] >= '0' && argument[1] <= '9');
}

std::string inQuotes(std::string_view argument) { return "'" + shownArgument(argument) + "'"; }

std::string valueMistake(const std::string& option, std::string_view value, bool given) {
  if (!given || value.empty()) return option + " needs " + valueNoun(option);
  if (looksLikeOption(value))
    return option + " needs " + valueNoun(option) + ", not the option " + inQuotes(value);
  return {};
}

}  // namespace

std::string shownArgument(std::string_view argument) {
  if (argument.size() <= kShownCharacters) return visibleText(argument);
  return visibleText(argument.substr(0, kShownCharacters)) + "...";
}

std::string argumentMistake(const CLI::App& parser, const std::vector<std::string>& arguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--") return {};  // what follows is no option
    if (!looksLikeOption(argument)) continue;
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const CLI::Option* option = parser.get_option_no_throw(name);
    if (option == nullptr) return "unknown option " + inQuotes(name);
    const bool flag = option->get_expected_max() == 0;
    if (flag) {
      if (equals != std::string::npos && option->get_disable_flag_override())
        return name + " takes no value (" + inQuotes(argument) + ")";
      continue;
    }
    std::string mistake = equals != std::string::npos
                              ? valueMistake(name, std::string_view(argument).substr(equals + 1), true)
                              : valueMistake(name, i + 1 < arguments.size() ? arguments[i + 1] : "",
                                             i + 1 < arguments.size());
    if (!mistake.empty()) return mistake;
    if (equals == std::string::npos) ++i;  // the value
  }
  return {};
}

std::string parseErrorInOwnWords(const CLI::ParseError& error) {
  std::string detail = error.what();
  for (char& c : detail)
    if (c == '\n') c = ' ';
  if (dynamic_cast<const CLI::ConversionError*>(&error) != nullptr) {
    // "--simulate=abc" arrives as "Could not convert: --simulate = abc".
    constexpr std::string_view kIntro = "Could not convert: ";
    const size_t equals = detail.find(" = ");
    if (detail.starts_with(kIntro) && equals != std::string::npos)
      return detail.substr(kIntro.size(), equals - kIntro.size()) + " does not take the value " +
             inQuotes(std::string_view(detail).substr(equals + 3));
    return "a value on the command line has the wrong form (" + shownArgument(detail) + ")";
  }
  return "the command line cannot be read (" + shownArgument(detail) + ")";
}

}  // namespace kelvry::cli
