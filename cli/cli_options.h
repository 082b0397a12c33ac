#pragma once

#include <optional>
#include <string>
#include <vector>

#include "driver/port_filter.h"
#include "driver/simulated_bench.h"
#include "frontend/job_session.h"
#include "frontend/run_options.h"
#include "records/history_filter.h"

// The command line of kelvry-update-cli: one action, its modifiers, and the
// desktop window's option words (cc:-, cf:-, ci:-, mf:+, f:+ ...), which
// arrive as plain arguments and keep their window meaning.

namespace kelvry::cli {

enum class TAction { None, Help, Version, ListPorts, ListFirmware, FileInfo, Update, History };

struct TCliOptions {
  TAction action = TAction::None;
  std::string port;          // --port: the serial port to update through (the first, when several)
  std::vector<std::string> ports;  // every --port, in command-line order
  bool allPorts = false;     // --all-ports: every USB serial port present
  bool simulate = false;     // --simulate: update a virtual logger instead
  int simulateCount = 0;     // --simulate N: that many virtual loggers at once (1 for --simulate)
  bool bench = false;        // --bench: update every logger plugged in while it runs
  std::optional<int> expect;  // --expect N: end the bench once N loggers have finished
  std::vector<TPortFilter> portFilters;  // --port-filter: the USB identities a bench may take
  bool bell = false;         // --bell: a bench rings on each finished logger
  bool json = false;         // --json: JSON lines on stdout instead of the report
  std::string logDir;        // --log-dir: one report file per port and run in this folder
  std::string updateFile;    // --file: use this update file instead of the built-in images
  std::string fileInfoPath;  // --file-info: show this file's header
  bool infoOnly = false;     // --info-only: read the logger's data, erase nothing
  bool yes = false;          // --yes: the confirmation question is answered Yes
  bool trace = false;        // --trace: show every notification
  // --max-repeats: bound for the automatic repeats; none: "unlimited"
  std::optional<int> maxRepeats = kDefaultMaxRepeats;
  std::vector<std::string> optionWords;  // the window's option words, in command-line order
  // What the option words and the internal-mode switch make of this run;
  // filled in by main() once the switch is read.
  TRunOptions run;
  std::string records;       // --records: where each attempt is kept (file, "default", postgresql://); empty: nowhere
  std::string operatorName;  // --operator: who runs the update, for the records; empty: the OS user
  THistoryFilter history;    // --history's filters (--serial, --port, --since, --firmware, --result, --latest)
  bool csv = false;          // --csv: the history as CSV
};

struct TCliParseResult {
  TCliOptions options;
  std::string error;  // one line; empty when the command line was understood
};

// Parses the whole argument list, program name first.
TCliParseResult parseCliOptions(const std::vector<std::string>& arguments);

// The options that only exist in internal mode; empty when the command line
// may run, else the line that says why not.
std::string internalModeError(const TCliOptions& options, bool internalMode);

std::string helpText();
std::string versionText();

}  // namespace kelvry::cli
