// Reading the command line: which action it asks for, what is refused, and
// the window's option words that ride along.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

#include "cli/cli_options.h"
#include "tests/cli/qt_printers.h"

namespace kelvry::cli {
namespace {

QStringList withProgram(QStringList arguments) {
  arguments.prepend("kelvry-update-cli");
  return arguments;
}

struct TActionCase {
  QStringList arguments;
  TAction action;
};

std::ostream& operator<<(std::ostream& out, const TActionCase& c) {
  return out << c.arguments.join(' ').toStdString();
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

class CliErrors : public ::testing::TestWithParam<QStringList> {};

TEST_P(CliErrors, RefusesWithOneLine) {
  const TCliParseResult result = parseCliOptions(withProgram(GetParam()));
  EXPECT_NE(result.error, "");
  EXPECT_EQ(result.error.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, CliErrors,
    ::testing::Values(QStringList{}, QStringList{"--nope"}, QStringList{"--port"}, QStringList{"--port", ""},
                      QStringList{"--port", "a", "--simulate"}, QStringList{"--list-ports", "--file-info", "a"},
                      QStringList{"--list-ports", "--file", "a"}, QStringList{"--file-info", "a", "--file", "b"},
                      QStringList{"--list-firmware", "--info-only"}, QStringList{"--simulate", "--max-repeats", "two"},
                      QStringList{"--simulate", "--max-repeats", "-3"}, QStringList{"--simulate", "ttyUSB0"},
                      QStringList{"--simulate", "--file", ""}, QStringList{"--yes"},
                      QStringList{"--port", "ttyUSB0", "--port", "ttyUSB1"},
                      QStringList{"--port=ttyUSB0", "--port=ttyUSB0"},
                      QStringList{"--simulate", "--max-repeats", "Unlimited"}));

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

struct TRepeatCase {
  QStringList arguments;
  std::optional<int> maxRepeats;
};

std::ostream& operator<<(std::ostream& out, const TRepeatCase& c) {
  return out << c.arguments.join(' ').toStdString();
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

TEST(CliOptions, WindowOptionWordsPassInOrderWithTheirValuesUntouched) {
  // Values that do not act are the window's business: it ignores them.
  const QStringList words{"CC:-", "cf:-", "ci:-x", "mf:-", "mf:+", "f:+", "cp:-", "upid:12", "cc:"};
  QStringList arguments = words;
  arguments.insert(2, "--simulate");
  const TCliParseResult result = parseCliOptions(withProgram(arguments));
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.optionWords, words);
}

struct TInternalCase {
  QStringList arguments;
  bool refusedOutsideInternalMode;
};

std::ostream& operator<<(std::ostream& out, const TInternalCase& c) {
  return out << c.arguments.join(' ').toStdString();
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
