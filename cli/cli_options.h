#pragma once

#include <optional>
#include <string>
#include <vector>

// The command line of kelvry-update-cli: one action, its modifiers, and the
// desktop window's option words (cc:-, cf:-, ci:-, mf:+, f:+ ...), which
// arrive as plain arguments and keep their window meaning.

namespace kelvry::cli {

// A script against a dead logger must end: a failed update is repeated this
// often unless --max-repeats says otherwise. The window repeats until Cancel.
inline constexpr int kDefaultMaxRepeats = 3;

enum class TAction { None, Help, Version, ListPorts, ListFirmware, FileInfo, Update };

struct TCliOptions {
  TAction action = TAction::None;
  std::string port;          // --port: the serial port to update through
  bool simulate = false;     // --simulate: update a virtual logger instead
  std::string updateFile;    // --file: use this update file instead of the built-in images
  std::string fileInfoPath;  // --file-info: show this file's header
  bool infoOnly = false;     // --info-only: read the logger's data, erase nothing
  bool yes = false;          // --yes: the confirmation question is answered Yes
  bool trace = false;        // --trace: show every notification
  // --max-repeats: bound for the automatic repeats; none: "unlimited"
  std::optional<int> maxRepeats = kDefaultMaxRepeats;
  std::vector<std::string> optionWords;  // the window's option words, in command-line order
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
