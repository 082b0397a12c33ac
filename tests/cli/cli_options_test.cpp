// Reading the command line: which action it asks for, what is refused, and
// the window's option words that ride along.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "records/utc_text.h"
#include <string>
#include <vector>

namespace kelvry::cli {
namespace {

using TWords = std::vector<std::string>;

TWords withProgram(TWords arguments) {
  arguments.insert(arguments.begin(), "kelvry-update-cli");
  return arguments;
}

std::string joined(const TWords& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

struct TActionCase {
  TWords arguments;
  TAction action;
};

std::ostream& operator<<(std::ostream& out, const TActionCase& c) {
  return out << joined(c.arguments);
}

class CliActions : public ::testing::TestWithParam<TActionCase> {};

TEST_P(CliActions, ChoosesTheAction) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam().arguments));
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(result.options.action, GetParam().action);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliActions,
    ::testing::Values(TActionCase{{"--help"}, TAction::Help}, TActionCase{{"-h"}, TAction::Help},
                      // Help wins over everything else that is well-formed.
                      TActionCase{{"--port", "x", "--help"}, TAction::Help},
                      TActionCase{{"--version"}, TAction::Version},
                      TActionCase{{"--list-ports"}, TAction::ListPorts},
                      TActionCase{{"--list-firmware"}, TAction::ListFirmware},
                      TActionCase{{"--list-firmware", "--file", "a.upd"}, TAction::ListFirmware},
                      TActionCase{{"--file-info", "a.upd"}, TAction::FileInfo},
                      TActionCase{{"--port", "/dev/ttyUSB0"}, TAction::Update},
                      TActionCase{{"--port=/dev/ttyUSB0", "--yes", "--trace"}, TAction::Update},
                      TActionCase{{"--simulate", "--info-only", "--max-repeats", "0"}, TAction::Update}));

class CliErrors : public ::testing::TestWithParam<TWords> {};

TEST_P(CliErrors, RefusesWithOneLine) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam()));
  EXPECT_NE(result.error, "");
  EXPECT_EQ(result.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, CliErrors,
    ::testing::Values(TWords{}, TWords{"--nope"}, TWords{"--port"}, TWords{"--port", ""},
                      TWords{"--port", "a", "--simulate"}, TWords{"--list-ports", "--file-info", "a"},
                      TWords{"--list-ports", "--file", "a"}, TWords{"--file-info", "a", "--file", "b"},
                      TWords{"--list-firmware", "--info-only"}, TWords{"--simulate", "--max-repeats", "two"},
                      TWords{"--simulate", "--max-repeats", "-3"}, TWords{"--simulate", "ttyUSB0"},
                      TWords{"--simulate", "--file", ""}, TWords{"--yes"},
                      TWords{"--port=ttyUSB0", "--port=ttyUSB0"}, TWords{"--port", "auto", "--port", "ttyUSB1"},
                      TWords{"--all-ports", "--port", "a"}, TWords{"--all-ports", "--simulate"},
                      TWords{"--simulate", "0"}, TWords{"--simulate", "65"}, TWords{"--list-ports", "--json"},
                      TWords{"--list-firmware", "--log-dir", "x"}, TWords{"--simulate", "--log-dir", ""},
                      TWords{"--simulate", "--json=1"},
                      TWords{"--simulate", "--max-repeats", "Unlimited"},
                      // A flag takes no value: "--yes=2" is a mistake, not a yes.
                      TWords{"--simulate", "--yes=2"}, TWords{"--simulate", "--yes=false"}));

struct TPortPairCase {
  const char* first;
  const char* second;
  bool samePort;
};

// Two jobs on one port would both talk to one logger: a port given twice,
// in any spelling that opens the same device, is refused.
TEST(CliOptions, RefusesThePortGivenTwiceInAnySpelling) {
  const TPortPairCase cases[] = {
#ifdef _WIN32
      {"COM7", "COM7", true},       {"COM7", "com7", true},     {"COM7", "\\\\.\\COM7", true},
      {"com12", "COM12:", true},    {"\\\\?\\COM3", "Com3", true}, {"COM7", "COM8", false},
      {"COM1", "COM10", false},
#else
      {"ttyUSB0", "ttyUSB0", true}, {"ttyUSB0", "/dev/ttyUSB0", true},
      // Linux names are case-sensitive: these are two devices.
      {"ttyUSB0", "TTYUSB0", false}, {"ttyUSB0", "ttyUSB1", false},
#endif
  };
  for (const TPortPairCase& c : cases) {
    const TCliParseResult result = parseCliOptions(withProgram({"--port", c.first, "--port", c.second}));
    SCOPED_TRACE(std::string(c.first) + " and " + c.second);
    if (c.samePort) {
      EXPECT_EQ(result.error, std::string("give each port only once ('") + c.second + "')");
    } else {
      EXPECT_EQ(result.error, "");
      EXPECT_EQ(result.options.ports, (TWords{c.first, c.second}));
    }
  }
}

// The mistakes a technician makes, answered in the program's own words:
// the parser's wording ("was given a disallowed flag override", "1 required
// TEXT missing") means nothing to them, and an option in a value's place is
// a slip, not a folder or port named "--json".
struct TWordingCase {
  TWords arguments;
  std::string error;
};

std::ostream& operator<<(std::ostream& out, const TWordingCase& c) { return out << joined(c.arguments); }

class CliMistakeWording : public ::testing::TestWithParam<TWordingCase> {};

TEST_P(CliMistakeWording, SaysWhatIsWrongInPlainWords) {
  EXPECT_EQ(parseCliOptions(withProgram(GetParam().arguments)).error, GetParam().error);
}

const std::string kLong(200, 'a');
const std::string kShownLong = std::string(60, 'a') + "...";

INSTANTIATE_TEST_SUITE_P(
    Mistakes, CliMistakeWording,
    ::testing::Values(
        TWordingCase{{"--simulate", "--yes=1"}, "--yes takes no value ('--yes=1')"},
        TWordingCase{{"--port"}, "--port needs a port name"},
        TWordingCase{{"--port="}, "--port needs a port name"},
        TWordingCase{{"--simulate", "--log-dir"}, "--log-dir needs a folder"},
        TWordingCase{{"--nope"}, "unknown option '--nope'"},
        TWordingCase{{"--simulate=abc"}, "--simulate does not take the value 'abc'"},
        TWordingCase{{"--simulate", "--info-only=maybe"}, "--info-only does not take the value 'maybe'"},
        TWordingCase{{"-x", "--simulate"}, "unknown option '-x'"},
        TWordingCase{{"--simulate", "-1"}, "--simulate takes a number of virtual loggers from 1 to 64"},
        TWordingCase{{"--simulate", "ttyUSB0"},
                     "'ttyUSB0' is neither an option nor an option word (the words are cc:-, cf:-, ci:-, mf:+, "
                     "mf:-, f:+)"},
        TWordingCase{{"--simulate", "--log-dir", "--json"}, "--log-dir needs a folder, not the option '--json'"},
        TWordingCase{{"--port", "--yes"}, "--port needs a port name, not the option '--yes'"},
        TWordingCase{{"--port=--yes"}, "--port needs a port name, not the option '--yes'"},
        TWordingCase{{"--simulate", "--file", "--yes"}, "--file needs a file name, not the option '--yes'"},
        TWordingCase{{"--simulate", "--max-repeats", "--yes"}, "--max-repeats needs a number, not the option '--yes'"},
        // A pasted line or path is cut short, not echoed whole.
        TWordingCase{{"--" + kLong}, "unknown option '--" + std::string(58, 'a') + "...'"},
        TWordingCase{{"--simulate", kLong},
                     "'" + kShownLong +
                         "' is neither an option nor an option word (the words are cc:-, cf:-, ci:-, mf:+, mf:-, f:+)"},
        TWordingCase{{"--simulate", "--max-repeats", kLong},
                     "--max-repeats needs a whole number of 0 or more or \"unlimited\", not '" + kShownLong + "'"},
        TWordingCase{{"--port", kLong, "--port", kLong}, "give each port only once ('" + kShownLong + "')"},
        // What is echoed never reaches the terminal as a command.
        TWordingCase{{"--port", "\x1b]0;title\x07"}, "--port: a port name holds no control characters ('\\x1b]0;title\\x07')"},
        TWordingCase{{"--\x1b[2J"}, "unknown option '--\\x1b[2J'"},
        TWordingCase{{"--bench", "--expect", "3\xe2\x80\xae" "21"}, "--expect needs a number of loggers of 1 or more, not '3\\xe2\\x80\\xae" "21'"},
        TWordingCase{{"--bench", "--port", "a"},
                     "--bench finds the ports itself: give --port-filter instead of --port or --all-ports"},
        TWordingCase{{"--bench", "--all-ports"},
                     "--bench finds the ports itself: give --port-filter instead of --port or --all-ports"},
        TWordingCase{{"--simulate", "--expect", "2"}, "--expect, --port-filter and --bell apply to --bench only"},
        TWordingCase{{"--all-ports", "--bell"}, "--expect, --port-filter and --bell apply to --bench only"},
        TWordingCase{{"--bench", "--expect", "0"}, "--expect needs a number of loggers of 1 or more, not '0'"},
        TWordingCase{{"--bench", "--expect", "two"}, "--expect needs a number of loggers of 1 or more, not 'two'"},
        TWordingCase{{"--bench", "--expect", "1", "--expect", "2"}, "give --expect only once"},
        TWordingCase{{"--bench", "--simulate", "2", "--expect", "3"},
                     "--expect 3 is more than the 2 virtual loggers of --simulate"},
        TWordingCase{{"--bench", "--port-filter", "0403"},
                     "--port-filter needs a USB vendor and product id as vvvv:pppp, with a serial number as "
                     "vvvv:pppp:serial if wanted, not '0403'"},
        TWordingCase{{"--bench", "--simulate", "--port-filter", "0403:6001"},
                     "--port-filter chooses USB serial ports; virtual loggers have none"}));

TEST(CliOptions, KeepsTheValuesOfABench) {
  const TCliParseResult result =
      parseCliOptions(withProgram({"--bench", "--expect", "4", "--port-filter", "0403:6001", "--port-filter",
                                   "10c4:ea60:0001", "--bell", "--log-dir", "records", "--yes"}));
  ASSERT_EQ(result.error, "");
  const TCliOptions& o = result.options;
  EXPECT_EQ(o.action, TAction::Update);
  EXPECT_TRUE(o.bench);
  EXPECT_EQ(o.expect, 4);
  ASSERT_EQ(o.portFilters.size(), 2u);
  EXPECT_EQ(o.portFilters[1].serialNumber, "0001");
  EXPECT_TRUE(o.bell);
  EXPECT_TRUE(o.ports.empty());

  const TCliParseResult plain = parseCliOptions(withProgram({"--bench"}));
  ASSERT_EQ(plain.error, "");
  EXPECT_FALSE(plain.options.expect.has_value()) << "until stopped";
  EXPECT_TRUE(plain.options.portFilters.empty()) << "every USB serial port";
  EXPECT_FALSE(plain.options.bell);
  const TCliParseResult simulated = parseCliOptions(withProgram({"--bench", "--simulate", "3", "--expect", "3"}));
  ASSERT_EQ(simulated.error, "");
  EXPECT_EQ(simulated.options.simulateCount, 3);
}

TEST(CliOptions, KeepsTheValuesOfAnUpdate) {
  const TCliParseResult result = parseCliOptions(
      withProgram({"--port", "ttyUSB1", "--file", "a.upd", "--info-only", "--yes", "--trace", "--max-repeats", "3"}));
  ASSERT_EQ(result.error, "");
  const TCliOptions& o = result.options;
  EXPECT_EQ(o.port, "ttyUSB1");
  EXPECT_EQ(o.updateFile, "a.upd");
  EXPECT_TRUE(o.infoOnly);
  EXPECT_TRUE(o.yes);
  EXPECT_TRUE(o.trace);
  EXPECT_EQ(o.maxRepeats, 3);
  EXPECT_FALSE(o.simulate);
}

// A pasted port name brings spaces or a line break along; they are no part
// of it, and a name of spaces alone names no port.
TEST(CliOptions, TakesThePortWithoutTheWhitespaceAroundIt) {
  const struct {
    TWords arguments;
    TWords ports;
    std::string error;
  } cases[] = {
      {{"--port", "  /dev/pts/2  "}, {"/dev/pts/2"}, ""},
      {{"--port=ttyUSB0 "}, {"ttyUSB0"}, ""},
      {{"--port", "\t/dev/ttyUSB1\r\n"}, {"/dev/ttyUSB1"}, ""},
      {{"--port", "   "}, {}, "--port needs a port name"},
      {{"--port", "ttyUSB0", "--port", " ttyUSB0"}, {}, "give each port only once ('ttyUSB0')"},
  };
  for (const auto& c : cases) {
    const TCliParseResult result = parseCliOptions(withProgram(c.arguments));
    SCOPED_TRACE(c.arguments.back());
    EXPECT_EQ(result.error, c.error);
    if (c.error.empty()) {
      EXPECT_EQ(result.options.ports, c.ports);
    }
  }
}

TEST(CliOptions, KeepsThePortsAndRecordsOfAFleetRun) {
  const TCliParseResult result =
      parseCliOptions(withProgram({"--port", "ttyUSB0", "--port=/dev/ttyUSB1", "--json", "--log-dir", "records"}));
  ASSERT_EQ(result.error, "");
  const TCliOptions& o = result.options;
  EXPECT_EQ(o.ports, (TWords{"ttyUSB0", "/dev/ttyUSB1"}));
  EXPECT_EQ(o.port, "ttyUSB0");
  EXPECT_TRUE(o.json);
  EXPECT_EQ(o.logDir, "records");
}

struct TFleetCase {
  TWords arguments;
  size_t ports;
  int simulateCount;
  TWords words;
};

class CliFleetRuns : public ::testing::TestWithParam<TFleetCase> {};

// How many loggers an update names: ports, or virtual loggers with an
// optional count that is not mistaken for an option word.
TEST_P(CliFleetRuns, PortsAndVirtualLoggersAreCounted) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam().arguments));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.action, TAction::Update);
  EXPECT_EQ(result.options.ports.size(), GetParam().ports);
  EXPECT_EQ(result.options.simulateCount, GetParam().simulateCount);
  EXPECT_EQ(result.options.optionWords, GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    Fleet, CliFleetRuns,
    ::testing::Values(TFleetCase{{"--port", "a"}, 1, 0, {}}, TFleetCase{{"--simulate"}, 0, 1, {}},
                      TFleetCase{{"--simulate", "mf:+"}, 0, 1, {"mf:+"}},
                      TFleetCase{{"--simulate", "4", "mf:+"}, 0, 4, {"mf:+"}},
                      TFleetCase{{"--simulate=3"}, 0, 3, {}}, TFleetCase{{"--all-ports"}, 0, 0, {}},
                      TFleetCase{{"--port", "a", "--port", "b"}, 2, 0, {}},
                      TFleetCase{{"--port", "a", "--log-dir", "d"}, 1, 0, {}},
                      TFleetCase{{"--simulate", "--json"}, 0, 1, {}}));

struct TRepeatCase {
  TWords arguments;
  std::optional<int> maxRepeats;
};

std::ostream& operator<<(std::ostream& out, const TRepeatCase& c) {
  return out << joined(c.arguments);
}

class CliRepeats : public ::testing::TestWithParam<TRepeatCase> {};

// A script against a dead logger must end by itself; repeating for ever is
// asked for by name.
TEST_P(CliRepeats, AreBoundedToThreeUnlessGiven) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam().arguments));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.maxRepeats, GetParam().maxRepeats);
}

INSTANTIATE_TEST_SUITE_P(Bounds, CliRepeats,
                         ::testing::Values(TRepeatCase{{"--simulate"}, 3},
                                           TRepeatCase{{"--simulate", "--max-repeats", "0"}, 0},
                                           TRepeatCase{{"--simulate", "--max-repeats", "7"}, 7},
                                           TRepeatCase{{"--simulate", "--max-repeats", "unlimited"}, std::nullopt},
                                           TRepeatCase{{"--simulate", "--max-repeats=unlimited"}, std::nullopt}));

TEST(CliOptions, HelpTellsTheRepeatBound) {
  const std::string help = helpText();
  EXPECT_NE(help.find("(default: 3)"), std::string::npos) << help;
  EXPECT_NE(help.find("--max-repeats unlimited"), std::string::npos) << help;
}

// A technician on Windows reads of COM ports and Ctrl-Break, not of
// /dev/ttyUSB0 and POSIX signals.
TEST(CliOptions, HelpSpeaksOfThisSystemsPortsAndCancels) {
  const std::string help = helpText();
#ifdef _WIN32
  const std::vector<std::string> present = {"e.g. COM7", "\\\\.\\COM7", "Ctrl-Break", "held in memory"};
  const std::vector<std::string> absent = {"/dev/", "SIGTERM", "pseudo-terminal"};
#else
  const std::vector<std::string> present = {"e.g. /dev/ttyUSB0", "SIGTERM", "pseudo-terminal"};
  const std::vector<std::string> absent = {"COM7", "Ctrl-Break"};
#endif
  for (const std::string& text : present) EXPECT_NE(help.find(text), std::string::npos) << text;
  for (const std::string& text : absent) EXPECT_EQ(help.find(text), std::string::npos) << text;
}

TEST(CliOptions, WindowOptionWordsPassInOrderWithTheirValuesUntouched) {
  // Values that do not act are the window's business: it ignores them.
  const TWords words{"CC:-", "cf:-", "ci:-x", "mf:-", "mf:+", "f:+", "cp:-", "upid:12", "cc:"};
  TWords arguments = words;
  arguments.insert(arguments.begin() + 2, "--simulate");
  const TCliParseResult result = parseCliOptions(withProgram(arguments));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.optionWords, words);
}

struct TInternalCase {
  TWords arguments;
  bool refusedOutsideInternalMode;
};

std::ostream& operator<<(std::ostream& out, const TInternalCase& c) {
  return out << joined(c.arguments);
}

class CliInternalMode : public ::testing::TestWithParam<TInternalCase> {};

TEST_P(CliInternalMode, FileAndInfoOptionsNeedInternalMode) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam().arguments));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(internalModeError(result.options, false).empty(), !GetParam().refusedOutsideInternalMode);
  EXPECT_EQ(internalModeError(result.options, true), "");
}

INSTANTIATE_TEST_SUITE_P(Options, CliInternalMode,
                         ::testing::Values(TInternalCase{{"--file-info", "a"}, true},
                                           TInternalCase{{"--simulate", "--file", "a"}, true},
                                           TInternalCase{{"--list-firmware", "--file", "a"}, true},
                                           TInternalCase{{"--port", "p", "--info-only"}, true},
                                           TInternalCase{{"--port", "p", "mf:+"}, false},
                                           TInternalCase{{"--list-firmware"}, false},
                                           TInternalCase{{"--list-ports"}, false}));

}  // namespace
}  // namespace kelvry::cli

namespace kelvry::cli {
namespace {

// --records with an update, and --history with its filters.
TEST(CliRecordsOptions, ReadTheStoreTheOperatorAndTheHistoryFilters) {
  const TCliParseResult update =
      parseCliOptions(withProgram({"--simulate", "--records", "postgresql://bench@db/records", "--operator", "mara"}));
  EXPECT_EQ(update.error, "");
  EXPECT_EQ(update.options.action, TAction::Update);
  EXPECT_EQ(update.options.records, "postgresql://bench@db/records");
  EXPECT_EQ(update.options.operatorName, "mara");

  const TCliParseResult history = parseCliOptions(
      withProgram({"--history", "--port", "/dev/ttyUSB0", "--serial", "FT1", "--since", "2026-12-01T08:00",
                   "--firmware", "V2.88", "--result", "failed", "--latest", "--csv"}));
  EXPECT_EQ(history.error, "");
  EXPECT_EQ(history.options.action, TAction::History);
  EXPECT_EQ(history.options.records, "default");
  EXPECT_EQ(history.options.history.port, "/dev/ttyUSB0");
  EXPECT_EQ(history.options.history.serial, "FT1");
  ASSERT_TRUE(history.options.history.since.has_value());
  EXPECT_EQ(utcText(*history.options.history.since), "2026-12-01T08:00:00.000Z");
  EXPECT_EQ(history.options.history.firmware, "V2.88");
  EXPECT_EQ(history.options.history.result, "failed");
  EXPECT_TRUE(history.options.history.latest);
  EXPECT_TRUE(history.options.csv);

  const TCliParseResult json = parseCliOptions(withProgram({"--history", "--json", "--records", "a.sqlite"}));
  EXPECT_EQ(json.error, "");
  EXPECT_TRUE(json.options.json);
  EXPECT_EQ(json.options.records, "a.sqlite");
}

struct TRecordsMistake {
  TWords arguments;
  std::string error;
};

TEST(CliRecordsOptions, RefuseWhatDoesNotGoTogetherInOneLine) {
  const TRecordsMistake mistakes[] = {
      {{"--history", "--simulate"},
       "--history excludes --simulate, --all-ports, --bench, --list-ports, --list-firmware and --file-info"},
      {{"--history", "--port", "a", "--port", "b"}, "--history shows one --port at most"},
      {{"--simulate", "--latest"}, "--serial, --since, --firmware, --result, --latest and --csv apply to --history only"},
      {{"--list-ports", "--records", "a.sqlite"}, "--records applies to an update or to --history only"},
      {{"--simulate", "--operator", "mara"}, "--operator applies to an update with --records only"},
      {{"--history", "--json", "--csv"}, "--json and --csv exclude each other"},
      {{"--history", "--since", "yesterday"},
       "--since needs a UTC time as 2026-12-01 or 2026-12-01T08:00, not 'yesterday'"},
      {{"--history", "--result", "fine"}, "--result needs one of ok, info, cancelled and failed, not 'fine'"},
      {{"--history", "--records", "a", "--records", "b"}, "give --records only once"},
      {{"--history", "--log-dir", "x"}, "--log-dir applies to an update only"},
  };
  for (const auto& mistake : mistakes)
    EXPECT_EQ(parseCliOptions(withProgram(mistake.arguments)).error, mistake.error) << joined(mistake.arguments);
}

}  // namespace
}  // namespace kelvry::cli
