#pragma once

#include <optional>
#include <string>
#include <vector>

// kelvry-update --bench opens the bench window instead of the main window.
// For demos and tests it takes the command line's bench words: --simulate N
// (N virtual loggers plugged in a few seconds apart), --expect N (stop
// taking loggers once N are done), --log-dir DIR (the records folder of this
// run, the saved one left alone), --records LOCATION (the records store of
// this run instead of the user's own file) and --yes (start at once,
// without the question).

namespace kelvry {

struct TBenchArguments {
  int simulate = 0;  // virtual loggers; 0: the computer's USB serial ports
  std::optional<int> expect;
  std::optional<std::string> logDir;
  std::string records = "default";  // where every attempt is kept: a file, "default" or a postgresql:// address
  bool yes = false;
};

// Whether the program was started as the bench (`arguments` without the
// program name).
bool isBenchCommandLine(const std::vector<std::string>& arguments);

// The bench's words; throws std::invalid_argument with one sentence that
// names the word at fault.
TBenchArguments parseBenchArguments(const std::vector<std::string>& arguments);

}  // namespace kelvry
