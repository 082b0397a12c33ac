#include "frontend/run_options.h"

#include "frontend/job_request.h"

#include <gtest/gtest.h>


namespace kelvry {
namespace {

TArguments commandLine(std::initializer_list<const char*> options) {
  TArguments arguments{"/opt/kelvry/kelvry-update"};
  arguments.insert(arguments.end(), options.begin(), options.end());
  return arguments;
}

// ---------------------------------------------------------- GetCmdLineOption

struct TLookupCase {
  const char* what;
  TArguments arguments;
  const char* name;
  const char* def;
  std::string expected;
};

class CmdLineOption : public testing::TestWithParam<TLookupCase> {};

TEST_P(CmdLineOption, FindsTheFirstMatchingArgument) {
  const TLookupCase& c = GetParam();
  EXPECT_EQ(GetCmdLineOption(c.arguments, c.name, c.def), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, CmdLineOption,
    testing::Values(
        TLookupCase{"plain", commandLine({"cc:-"}), "cc:", "", "-"},
        TLookupCase{"name in upper case", commandLine({"CC:-"}), "cc:", "", "-"},
        TLookupCase{"name in mixed case", commandLine({"Mf:+"}), "mF:", "", "+"},
        TLookupCase{"value kept as written", commandLine({"cc:-X"}), "cc:", "", "-X"},
        TLookupCase{"first match wins", commandLine({"mf:-", "mf:+"}), "mf:", "", "-"},
        TLookupCase{"name alone does not match", commandLine({"cc:"}), "cc:", "dflt", "dflt"},
        TLookupCase{"name alone is passed over", commandLine({"cc:", "cc:-"}), "cc:", "", "-"},
        TLookupCase{"other options ignored", commandLine({"cf:-", "xcc:-", "c:-"}), "cc:", "", ""},
        TLookupCase{"program name is no option", TArguments{"cc:-"}, "cc:", "none", "none"},
        TLookupCase{"no arguments", TArguments{}, "f:", "-", "-"},
        TLookupCase{"short name inside a longer one", commandLine({"ff:+"}), "f:", "-", "-"},
        TLookupCase{"blank is part of the value", commandLine({"f: +"}), "f:", "-", " +"}),
    [](const testing::TestParamInfo<TLookupCase>& caseInfo) {
      std::string name = caseInfo.param.what;
      for (char& ch : name)
        if (ch == ' ' || ch == ',') ch = '_';
      return name;
    });

TEST(CmdLineOptionValue, IsCutAfter1000Characters) {
  const std::string value(1500, 'v');
  EXPECT_EQ(GetCmdLineOption({"prog", "upid:" + value}, "upid:", ""), value.substr(0, 1000));
}

TEST(CmdLineOptionValue, CountsCharactersNotBytes) {
  std::string value;
  for (int i = 0; i < 600; ++i) value += "\xC3\xA4";  // a two-byte character
  const std::string cut = GetCmdLineOption({"prog", "upid:" + value}, "upid:", "");
  EXPECT_EQ(cut, value.substr(0, 1000 * 2));
}

// ----------------------------------------------------------- runOptionsFrom

struct TFlags {
  bool checkClass = true;
  bool checkFirmware = true;
  bool checkInfo = true;
  bool clearsMeasurements = false;
  int32_t internalMode = 0;
};

struct TApplyCase {
  const char* what;
  TArguments arguments;
  bool internal;
  TFlags expected;
};

class ApplyRunOptions : public testing::TestWithParam<TApplyCase> {};

TEST_P(ApplyRunOptions, SetsTheFlagsItsModeAllows) {
  const TApplyCase& c = GetParam();
  const TRunOptions options = runOptionsFrom(c.arguments, c.internal);
  EXPECT_EQ(options.bCheckClass, c.expected.checkClass) << c.what;
  EXPECT_EQ(options.bCheckFirmware, c.expected.checkFirmware) << c.what;
  EXPECT_EQ(options.bCheckInfo, c.expected.checkInfo) << c.what;
  EXPECT_EQ(options.bClearsMeasurements, c.expected.clearsMeasurements) << c.what;
  EXPECT_EQ(options.iInternalMode, c.expected.internalMode) << c.what;
  EXPECT_TRUE(options.sTestCaption.empty()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyRunOptions,
    testing::Values(
        TApplyCase{"nothing given", commandLine({}), false, {}},
        TApplyCase{"checks need internal mode", commandLine({"cc:-", "cf:-", "ci:-", "f:+"}), false, {}},
        TApplyCase{"internal without options", commandLine({}), true, {.internalMode = 1}},
        TApplyCase{"class check off in any case", commandLine({"CC:-"}), true,
                   {.checkClass = false, .internalMode = 1}},
        TApplyCase{"value must be exactly minus", commandLine({"cc:-x", "cf:+", "ci:--"}), true,
                   {.internalMode = 1}},
        TApplyCase{"name alone", commandLine({"cc:"}), true, {.internalMode = 1}},
        TApplyCase{"all three checks off", commandLine({"ci:-", "cf:-", "cc:-"}), true,
                   {.checkClass = false, .checkFirmware = false, .checkInfo = false, .internalMode = 1}},
        TApplyCase{"measurements in normal mode", commandLine({"mf:+"}), false, {.clearsMeasurements = true}},
        TApplyCase{"measurements in internal mode", commandLine({"MF:+"}), true,
                   {.clearsMeasurements = true, .internalMode = 1}},
        TApplyCase{"first measurements option counts", commandLine({"mf:-", "mf:+"}), false, {}},
        TApplyCase{"plus before minus", commandLine({"mf:+", "mf:-"}), false, {.clearsMeasurements = true}},
        TApplyCase{"update files", commandLine({"f:+"}), true, {.internalMode = 2}},
        TApplyCase{"update files upper case", commandLine({"F:+"}), true, {.internalMode = 2}},
        TApplyCase{"no update files", commandLine({"f:-"}), true, {.internalMode = 1}},
        TApplyCase{"update files yes is no plus", commandLine({"f:yes"}), true, {.internalMode = 1}}),
    [](const testing::TestParamInfo<TApplyCase>& caseInfo) {
      std::string name = caseInfo.param.what;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

// Two runs read from different command lines keep their own switches: a
// value, not a program-wide flag that the second would overwrite.
TEST(RunOptions, EachRunKeepsItsOwnSwitches) {
  const TRunOptions relaxed = runOptionsFrom(commandLine({"cc:-", "cf:-", "ci:-", "mf:+", "f:+"}), true);
  const TRunOptions plain = runOptionsFrom(commandLine({}), false);
  const TJobChecks relaxedChecks = relaxed.jobChecks();
  EXPECT_FALSE(relaxedChecks.bCheckClass || relaxedChecks.bCheckFirmware || relaxedChecks.bCheckInfo);
  EXPECT_EQ(relaxed.iInternalMode, 2);
  const TJobChecks checks = plain.jobChecks();
  EXPECT_TRUE(checks.bCheckClass && checks.bCheckFirmware && checks.bCheckInfo);
  EXPECT_FALSE(plain.bClearsMeasurements);
  EXPECT_EQ(plain.iInternalMode, 0);
}

// The window and the command line build their requests here, with the
// checks of their run.
TEST(RunOptions, JobRequestTakesTheChecksOfItsRun) {
  const TRunOptions options = runOptionsFrom(commandLine({"cc:-", "ci:-"}), true);
  const TUpdateRequest relaxed = jobRequest("/dev/ttyUSB0", TCmd::tCMD_TEST, true, {}, options.jobChecks());
  EXPECT_EQ(relaxed.sPort, "/dev/ttyUSB0");
  EXPECT_EQ(relaxed.cmd, TCmd::tCMD_TEST);
  EXPECT_TRUE(relaxed.bReadInfoOnly);
  EXPECT_FALSE(relaxed.checks.bCheckClass);
  EXPECT_TRUE(relaxed.checks.bCheckFirmware);
  EXPECT_FALSE(relaxed.checks.bCheckInfo);
  EXPECT_TRUE(jobRequest("COM3", TCmd::tCMD0, false, {}, TJobChecks{}).checks.bCheckClass);
}

}  // namespace
}  // namespace kelvry
