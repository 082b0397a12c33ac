#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace CLI {
class App;
class ParseError;
}  // namespace CLI

// The mistakes a command line can hold, in this program's own words: one
// line a technician understands, never the parser's wording, and never a
// whole pasted file path or log line echoed back.

namespace kelvry::cli {

// An argument as a message shows it: at most 60 characters, "..." when cut,
// control characters shown as \xNN so that none reaches the terminal.
std::string shownArgument(std::string_view argument);

// The first mistake the parser would word its own way or let through: an
// unknown option, an option without its value or with another option in the
// value's place (`--log-dir --json` must not make a folder named "--json"),
// a value given to an option that takes none. `arguments` without the
// program name; empty when there is none.
std::string argumentMistake(const CLI::App& parser, const std::vector<std::string>& arguments);

// Whatever else the parser refuses, in a line of ours.
std::string parseErrorInOwnWords(const CLI::ParseError& error);

}  // namespace kelvry::cli
