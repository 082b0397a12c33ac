#include "cli/cli_options.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <regex>
#include <string_view>

#include "cli/platform_words.h"
#include "cli/ports/same_port.h"
#include "cli/usage_mistakes.h"
#include "driver/program_name.h"
#include "kelvry_version.h"
#include "records/result_words.h"
#include "records/utc_text.h"
#include "frontend/typed_port_name.h"
#include "serial/port_name.h"
#include "serial/visible_text.h"

namespace kelvry::cli {

namespace {

// The values as the parser fills them; what they mean together is decided
// after parsing.
struct TParsedValues {
  bool help = false;
  bool version = false;
  std::vector<std::string> ports;
  bool allPorts = false;
  bool bench = false;
  std::vector<std::string> expect;
  std::vector<std::string> portFilters;
  bool bell = false;
  int simulate = 0;
  bool json = false;
  std::vector<std::string> logDir;
  bool listPorts = false;
  bool listFirmware = false;
  std::vector<std::string> fileInfo;
  std::vector<std::string> file;
  bool infoOnly = false;
  bool yes = false;
  bool trace = false;
  std::vector<std::string> maxRepeats;
  std::vector<std::string> words;
  std::vector<std::string> records;
  std::vector<std::string> operatorName;
  bool history = false;
  std::vector<std::string> serial;
  std::vector<std::string> since;
  std::vector<std::string> firmware;
  std::vector<std::string> result;
  bool latest = false;
  bool csv = false;
};

// Every option is declared once, here, for parsing and for the help text.
// Options with a value collect every occurrence, so that a repeated option
// is refused by name instead of silently replacing the first.
std::unique_ptr<CLI::App> makeParser(TParsedValues& v) {
  auto app = std::make_unique<CLI::App>(
      "Updates the firmware of a Kelvry data logger through its serial bootloader.", std::string(kCliName));
  app->set_help_flag();  // help is an action of ours, decided with the others
  app->add_flag("-h,--help", v.help, "Show this help and exit.")
      ->disable_flag_override();
  app->add_flag("--version", v.version, "Show the program version and exit.")
      ->disable_flag_override();
  app->add_option("--port", v.ports,
                  std::string("Update the logger connected to serial port <port> (e.g. ") + words::kPortExample +
                      "; auto: the only USB serial port present). Give it several times to update several loggers "
                      "at once.")
      ->option_text("<port>")
      ->allow_extra_args(false);
  app->add_flag("--all-ports", v.allPorts, "Update the loggers on every USB serial port present, all at once.")
      ->disable_flag_override();
  app->add_flag("--bench", v.bench,
                "Bench mode: update every logger plugged in on a USB serial port while the program runs, each "
                "once until it is unplugged, until Ctrl-C or --expect.")
      ->disable_flag_override();
  app->add_option("--expect", v.expect, "Bench mode: end once <n> loggers have finished.")
      ->option_text("<n>")
      ->allow_extra_args(false);
  app->add_option("--port-filter", v.portFilters,
                  "Bench mode: take only ports of this USB identity (vendor:product, e.g. 0403:6001, and a serial "
                  "number where there is one). Give it several times for several.")
      ->option_text("<vid:pid[:serial]>")
      ->allow_extra_args(false);
  app->add_flag("--bell", v.bell, "Bench mode: ring the terminal's bell as each logger is done.")
      ->disable_flag_override();
  // "--simulate 4" arrives as "--simulate=4" (see parseCliOptions).
  app->add_flag("--simulate", v.simulate,
                std::string("Update ") + words::kVirtualLogger +
                    " instead of a real one; with [n], n virtual loggers at once.")
      ->option_text("[n]");
  app->add_flag("--json", v.json,
                "Print one JSON object per line instead of the report: port, time, notification code, value "
                "and text, then each port's result.")
      ->disable_flag_override();
  app->add_option("--log-dir", v.logDir, "Write one report file per port and run into folder <dir>.")
      ->option_text("<dir>")
      ->allow_extra_args(false);
  app->add_flag("--list-ports", v.listPorts, "List the USB serial ports present, with their USB identity.")
      ->disable_flag_override();
  app->add_flag("--list-firmware", v.listFirmware, "List the firmware this program can install.")
      ->disable_flag_override();
  app->add_option("--file-info", v.fileInfo, "Show the header of update file <path> (internal mode).")
      ->option_text("<path>")
      ->allow_extra_args(false);
  app->add_option("--file", v.file, "Update from update file <path> instead of the built-in images (internal mode).")
      ->option_text("<path>")
      ->allow_extra_args(false);
  app->add_flag("--info-only", v.infoOnly,
                "Read the logger's identity and update data only; erase nothing (internal mode).");
  app->add_flag("--yes", v.yes, "Answer the confirmation question with Yes.")
      ->disable_flag_override();
  app->add_flag("--trace", v.trace, "Print every worker notification as \"notify CODE VALUE\".")
      ->disable_flag_override();
  app->add_option("--max-repeats", v.maxRepeats,
                  "Repeat a failed update automatically at most <n> times (default: 3); \"unlimited\" repeats "
                  "until the update succeeds or is cancelled.")
      ->option_text("<n>")
      ->allow_extra_args(false);
  app->add_option("--records", v.records,
                  "Keep a record of every update attempt in <store>: an SQLite file, \"default\" (records.sqlite "
                  "in the user's data folder) or a PostgreSQL server (postgresql://...). With --history: the "
                  "records to read (default: \"default\").")
      ->option_text("<store>")
      ->allow_extra_args(false);
  app->add_option("--operator", v.operatorName, "The name the records give for who ran the update (default: the user).")
      ->option_text("<name>")
      ->allow_extra_args(false);
  app->add_flag("--history", v.history,
                "Show the attempts kept in --records, newest first, as a table (or --json, --csv); --port <port> "
                "shows one port's.")
      ->disable_flag_override();
  app->add_option("--serial", v.serial, "History: only the logger with this USB serial number.")
      ->option_text("<serial>")
      ->allow_extra_args(false);
  app->add_option("--since", v.since, "History: only attempts started at or after <time> (UTC, 2026-12-01 or "
                                      "2026-12-01T08:00).")
      ->option_text("<time>")
      ->allow_extra_args(false);
  app->add_option("--firmware", v.firmware,
                  "History: only loggers running <version> after the attempt (e.g. V2.88).")
      ->option_text("<version>")
      ->allow_extra_args(false);
  app->add_option("--result", v.result, "History: only attempts that ended so: ok, info, cancelled or failed.")
      ->option_text("<word>")
      ->allow_extra_args(false);
  app->add_flag("--latest", v.latest, "History: only each logger's last attempt.")->disable_flag_override();
  app->add_flag("--csv", v.csv, "History: print CSV instead of the table.")->disable_flag_override();
  app->add_option("words", v.words,
                  "Option words of the desktop program: cc:-, cf:-, ci:-, f:+ (internal mode) and mf:+ or mf:- "
                  "(always).");
  return app;
}

// The window's option names; their values keep the window's meaning (a value
// that does not act is ignored there, and here too).
bool isOptionWord(const std::string& argument) {
  static const std::regex kWord("^(cc|cf|ci|mf|f|cp|upid):", std::regex::icase);
  return std::regex_search(argument, kWord);
}

// The single value of an option that takes one; the error when it was
// given more than once or empty.
std::string singleValue(const std::vector<std::string>& values, const char* option, const char* what,
                        std::string& value) {
  if (values.size() > 1) return std::string("give ") + option + " only once";
  if (values.size() == 1 && values.front().empty()) return std::string(option) + " needs " + what;
  value = values.empty() ? std::string() : values.front();
  return {};
}

std::string chooseAction(const TParsedValues& v, TCliOptions& options) {
  if (v.help) {
    options.action = TAction::Help;
    return {};
  }
  if (v.version) {
    options.action = TAction::Version;
    return {};
  }
  if (v.history) {
    if (options.simulate || v.allPorts || v.bench || v.listPorts || v.listFirmware || !v.fileInfo.empty())
      return "--history excludes --simulate, --all-ports, --bench, --list-ports, --list-firmware and --file-info";
    if (v.ports.size() > 1) return "--history shows one --port at most";
    options.action = TAction::History;
    return {};
  }
  if (int{!v.ports.empty()} + int{options.simulate} + int{v.allPorts} > 1)
    return "--port, --all-ports and --simulate exclude each other";
  if (v.bench && (!v.ports.empty() || v.allPorts))
    return "--bench finds the ports itself: give --port-filter instead of --port or --all-ports";
  const bool update = !v.ports.empty() || options.simulate || v.allPorts || v.bench;
  const int actions = int{update} + int{v.listPorts} + int{v.listFirmware} + int{!v.fileInfo.empty()};
  if (actions == 0)
    return "nothing to do: give --port PORT, --simulate, --list-ports, --list-firmware or --file-info PATH";
  if (actions > 1)
    return "give only one of --port/--all-ports/--simulate, --list-ports, --list-firmware and --file-info";
  if (update) options.action = TAction::Update;
  if (v.listPorts) options.action = TAction::ListPorts;
  if (v.listFirmware) options.action = TAction::ListFirmware;
  if (!v.fileInfo.empty()) options.action = TAction::FileInfo;
  return {};
}

// Each port once: two jobs cannot share a port, however its name is spelt
// ("ttyUSB0" and "/dev/ttyUSB0"; "COM7", "com7" and "\\.\COM7" on Windows).
std::string readPorts(const std::vector<std::string>& given, TCliOptions& options) {
  // A pasted name may bring spaces along (quoted into the argument).
  std::vector<std::string> ports;
  for (const std::string& port : given) ports.push_back(typedPortName(port));
  for (size_t i = 0; i < ports.size(); ++i) {
    if (ports[i].empty()) return "--port needs a port name";
    // A port name never holds one; echoed raw, it would reach the terminal.
    if (visibleText(ports[i]) != ports[i])
      return "--port: a port name holds no control characters ('" + shownArgument(ports[i]) + "')";
    for (size_t j = 0; j < i; ++j) {
      if (portDevicePath(ports[i]) == portDevicePath(ports[j]))
        return "give each port only once ('" + shownArgument(ports[i]) + "')";
      // The same device under another name (a link, "/dev/./pts/3").
      if (isSameDevice(portDevicePath(ports[i]), portDevicePath(ports[j])))
        return "give each port only once ('" + shownArgument(ports[i]) + "' is '" + shownArgument(ports[j]) + "')";
    }
  }
  if (ports.size() > 1 && std::ranges::find(ports, std::string("auto")) != ports.end())
    return "--port auto takes the only USB serial port; for several, give them or use --all-ports";
  options.ports = ports;
  options.port = ports.empty() ? std::string() : ports.front();
  return {};
}

std::string readSimulateCount(int count, TCliOptions& options) {
  if (!options.simulate) return {};
  if (count < 1 || count > kMaxSimulated)
    return "--simulate takes a number of virtual loggers from 1 to " + std::to_string(kMaxSimulated);
  options.simulateCount = count;
  return {};
}

std::string readBenchValues(const TParsedValues& v, TCliOptions& options) {
  options.bench = v.bench;
  options.bell = v.bell;
  const bool anyBenchOption = !v.expect.empty() || !v.portFilters.empty() || v.bell;
  if (anyBenchOption && !v.bench) return "--expect, --port-filter and --bell apply to --bench only";
  std::string expect;
  if (std::string error = singleValue(v.expect, "--expect", "a number", expect); !error.empty()) return error;
  if (!v.expect.empty()) {
    int n = 0;
    const auto [end, failure] = std::from_chars(expect.data(), expect.data() + expect.size(), n);
    if (failure != std::errc() || end != expect.data() + expect.size() || n < 1)
      return "--expect needs a number of loggers of 1 or more, not '" + shownArgument(expect) + "'";
    // Virtual loggers are unplugged once done and never come back.
    if (options.simulate && n > options.simulateCount)
      return "--expect " + std::to_string(n) + " is more than the " + std::to_string(options.simulateCount) +
             " virtual loggers of --simulate";
    options.expect = n;
  }
  for (const std::string& text : v.portFilters) {
    const std::optional<TPortFilter> filter = parsePortFilter(text);
    if (!filter)
      return "--port-filter needs a USB vendor and product id as vvvv:pppp, with a serial number as "
             "vvvv:pppp:serial if wanted, not '" + shownArgument(text) + "'";
    options.portFilters.push_back(*filter);
  }
  if (options.simulate && !options.portFilters.empty())
    return "--port-filter chooses USB serial ports; virtual loggers have none";
  return {};
}

std::string readValues(const TParsedValues& v, TCliOptions& options) {
  for (const std::string& error : {readPorts(v.ports, options), readSimulateCount(v.simulate, options),
                                   singleValue(v.logDir, "--log-dir", "a folder", options.logDir),
                                   singleValue(v.file, "--file", "a file name", options.updateFile),
                                   singleValue(v.fileInfo, "--file-info", "a file name", options.fileInfoPath)}) {
    if (!error.empty()) return error;
  }
  return {};
}

// --records and the history's filters.
std::string readRecordValues(const TParsedValues& v, TCliOptions& options) {
  const bool history = options.action == TAction::History;
  for (const std::string& error :
       {singleValue(v.records, "--records", "a file, \"default\" or a postgresql:// address", options.records),
        singleValue(v.operatorName, "--operator", "a name", options.operatorName),
        singleValue(v.serial, "--serial", "a serial number", options.history.serial),
        singleValue(v.firmware, "--firmware", "a version", options.history.firmware),
        singleValue(v.result, "--result", "a result word", options.history.result)}) {
    if (!error.empty()) return error;
  }
  const bool anyFilter = !v.serial.empty() || !v.since.empty() || !v.firmware.empty() || !v.result.empty() ||
                         v.latest || v.csv;
  if (anyFilter && !history) return "--serial, --since, --firmware, --result, --latest and --csv apply to --history only";
  if (!options.records.empty() && !history && options.action != TAction::Update)
    return "--records applies to an update or to --history only";
  if (!options.operatorName.empty() && (history || options.records.empty()))
    return "--operator applies to an update with --records only";
  if (!history) return {};
  if (options.records.empty()) options.records = "default";
  options.history.port = options.port;
  options.history.latest = v.latest;
  options.csv = v.csv;
  if (options.csv && options.json) return "--json and --csv exclude each other";
  std::string since;
  if (std::string error = singleValue(v.since, "--since", "a time", since); !error.empty()) return error;
  if (!since.empty()) {
    options.history.since = parseUtcText(since);
    if (!options.history.since)
      return "--since needs a UTC time as 2026-12-01 or 2026-12-01T08:00, not '" + shownArgument(since) + "'";
  }
  const auto& words = resultWords();
  if (!options.history.result.empty() && std::ranges::find(words, options.history.result) == words.end())
    return "--result needs one of ok, info, cancelled and failed, not '" + shownArgument(options.history.result) + "'";
  return {};
}

std::string checkModifiers(const TParsedValues&, TCliOptions& options) {
  const bool update = options.action == TAction::Update;
  const bool history = options.action == TAction::History;
  if (!options.updateFile.empty() && !update && options.action != TAction::ListFirmware)
    return "--file applies to an update or to --list-firmware only";
  if (options.infoOnly && !update) return "--info-only applies to an update only";
  if (options.json && !update && !history) return "--json applies to an update or to --history only";
  if (!options.logDir.empty() && !update) return "--log-dir applies to an update only";
  return {};
}

std::string readMaxRepeats(const TParsedValues& v, TCliOptions& options) {
  std::string text;
  if (std::string error = singleValue(v.maxRepeats, "--max-repeats", "a number", text); !error.empty())
    return error;
  if (v.maxRepeats.empty()) return {};
  if (text == "unlimited") {
    options.maxRepeats.reset();
    return {};
  }
  int n = -1;
  const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (failure != std::errc() || end != text.data() + text.size() || n < 0)
    return "--max-repeats needs a whole number of 0 or more or \"unlimited\", not '" + shownArgument(text) + "'";
  options.maxRepeats = n;
  return {};
}

std::string readOptionWords(const TParsedValues& v, TCliOptions& options) {
  for (const std::string& word : v.words) {
    if (!isOptionWord(word))
      return "'" + shownArgument(word) +
             "' is neither an option nor an option word (the words are cc:-, cf:-, ci:-, mf:+, mf:-, f:+)";
    options.optionWords.push_back(word);
  }
  return {};
}

// "--simulate 4" becomes "--simulate=4": a flag never takes the next
// argument, so a count is joined to it. Only a number is (a negative one
// too, to be refused as a count), so that an option word after --simulate
// stays a word.
std::vector<std::string> joinSimulateCount(const std::vector<std::string>& arguments) {
  std::vector<std::string> joined;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view next =
        i + 1 < arguments.size() ? std::string_view(arguments[i + 1]) : std::string_view();
    const std::string_view digits = next.starts_with('-') ? next.substr(1) : next;
    const bool count = !digits.empty() && std::ranges::all_of(digits, [](char c) { return c >= '0' && c <= '9'; });
    if (i > 0 && arguments[i] == "--simulate" && count) {
      joined.push_back(arguments[i] + "=" + arguments[i + 1]);
      ++i;
    } else {
      joined.push_back(arguments[i]);
    }
  }
  return joined;
}

}  // namespace

TCliParseResult parseCliOptions(const std::vector<std::string>& arguments) {
  TParsedValues values;
  const auto parser = makeParser(values);
  TCliParseResult result;
  // The parser takes the arguments without the program name, last first.
  std::vector<std::string> pending = joinSimulateCount(arguments);
  std::reverse(pending.begin(), pending.end());
  if (!pending.empty()) pending.pop_back();
  result.error = argumentMistake(*parser, std::vector<std::string>(pending.rbegin(), pending.rend()));
  if (!result.error.empty()) return result;
  try {
    parser->parse(pending);
  } catch (const CLI::ParseError& e) {
    result.error = parseErrorInOwnWords(e);
    return result;
  }
  TCliOptions& options = result.options;
  options.simulate = values.simulate != 0;
  options.allPorts = values.allPorts;
  options.json = values.json;
  options.infoOnly = values.infoOnly;
  options.yes = values.yes;
  options.trace = values.trace;

  for (const auto& step :
       {chooseAction, readValues, readBenchValues, readRecordValues, checkModifiers, readMaxRepeats,
        readOptionWords}) {
    result.error = step(values, options);
    if (!result.error.empty()) return result;
    if (options.action == TAction::Help || options.action == TAction::Version) return result;
  }
  return result;
}

std::string internalModeError(const TCliOptions& options, bool internalMode) {
  if (internalMode) return {};
  if (options.action == TAction::FileInfo) return "--file-info is only available in internal mode";
  if (!options.updateFile.empty()) return "--file is only available in internal mode";
  if (options.infoOnly) return "--info-only is only available in internal mode";
  return {};
}

std::string helpText() {
  TParsedValues values;
  return makeParser(values)->help() +
         "\n"
         "Output:\n"
         "  stdout  the report, one line per step as \"hh-nn-ss -> text\", then the\n"
         "          closing message of the job alone as the last line.\n"
         "  stderr  a progress bar with the current status (only on a terminal), the\n"
         "          confirmation question, and errors of the command line.\n"
         "\n"
         "Several loggers at once (--port given several times, --all-ports,\n"
         "--simulate n, --json or --log-dir):\n"
         "  one job per port, side by side; one question for the whole run; Ctrl-C\n"
         "  cancels all of them. stdout carries each port's report lines behind the\n"
         "  port's name (or, with --json, JSON lines), then a summary table; stderr a\n"
         "  live line per port (only on a terminal).\n"
         "\n"
         "Bench mode (--bench):\n"
         "  every USB serial port present, and every one that appears later (only\n"
         "  those of --port-filter's identities when given), gets its job once it\n"
         "  has stayed for a second; a logger that is done is not updated again until\n"
         "  it has been unplugged and plugged back in. One question at the start. It\n"
         "  runs until Ctrl-C (the running jobs are cancelled) or until --expect n\n"
         "  loggers have finished; --simulate n plugs in n virtual loggers a few\n"
         "  seconds apart and ends once each is done. stderr carries the counts\n"
         "  above the live lines and \"<port>: done, unplug it\" for each logger.\n"
         "\n"
         "Exit status:\n"
         "  0       success (update completed, or the listing was printed)\n"
         "  1       unexpected failure\n"
         "  2       usage error, unreadable update file, or an unconfirmed update\n"
         "          without a terminal\n"
         "  10      serial port not ready       11  serial read/write error\n"
         "  20      cancelled (" + words::kCancelRequests + ",\n"
         "          or the question answered No)\n"
         "  21      cancelled after the new firmware was started; its class was not\n"
         "          checked\n"
         "  30      communication failed and --max-repeats was reached\n"
         "  40-47   the logger refused or the update failed (44: read-back error and\n"
         "          --max-repeats was reached)\n"
         "  70      --info-only: the logger's data were read\n"
         "  80      several loggers were updated at once and not all of them\n"
         "          succeeded; the summary (or each port's JSON result) gives each\n"
         "          port's own status; --bench: a logger failed, or fewer than\n"
         "          --expect n finished (a bench stopped before any logger finished\n"
         "          without --expect exits 20, one where every logger succeeded 0)\n"
         "  81      a report file of --log-dir or standard output could not be written\n"
         "          completely (a full disk), or a record of --records could not be\n"
         "          written; each logger's own status is in the summary, the JSON\n"
         "          results and the line on stderr that names the file or the record\n"
         "\n"
         "Records (--records, --history):\n"
         "  with --records, every attempt (done, failed or cancelled) becomes a record\n"
         "  when its port's job ends: station, operator, times, port and USB identity,\n"
         "  the logger before and after, the image and its SHA-256, the result. The\n"
         "  store is checked before any logger is touched; one that is not a records\n"
         "  store of this program, is newer or damaged exits 2. For a server the\n"
         "  records wait in a queue in the user's data folder while it is away; at\n"
         "  the end stderr tells how many still wait. A password is never shown.\n"
         "  --history lists the records, --latest each logger's last one.\n"
         "\n"
         "Repeats:\n"
         "  A communication failure repeats the update 1.5 s later, a read-back error\n"
         "  at once, at most 3 times unless --max-repeats says otherwise;\n"
         "  --max-repeats unlimited repeats until the update succeeds or is cancelled.\n"
         "\n" +
         words::kPortsParagraph;
}

std::string versionText() { return std::string(kCliName) + " " + KELVRY_VERSION; }

}  // namespace kelvry::cli
