#include "tools/logger_sim/sim_options.h"

#include <gtest/gtest.h>

#include <functional>

namespace kelvry::sim {
namespace {

struct TOptionCase {
  const char* name;
  std::vector<std::string> args;
  std::function<void(const TSimOptions&)> check;
};

class SimOptionsAccepted : public ::testing::TestWithParam<TOptionCase> {};

TEST_P(SimOptionsAccepted, SetsTheConfig) {
  const TSimOptionsResult result = parseSimOptions(GetParam().args);
  ASSERT_EQ(result.error, "");
  GetParam().check(result.options);
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimOptionsAccepted,
    ::testing::Values(
        TOptionCase{"Defaults", {},
                    [](const TSimOptions& o) {
                      EXPECT_FALSE(o.config.identity.startInBootloader);
                      EXPECT_EQ(o.config.identity.appClass, 0x6617);
                      EXPECT_TRUE(o.config.faults.replyFaultAt.empty());
                      EXPECT_EQ(o.config.faults.corruptEchoPart, TEchoPart::FirstDataByte);
                      EXPECT_FALSE(o.quiet || o.help || o.exitAfterStart);
                      EXPECT_EQ(o.flashOut, "");
                    }},
        TOptionCase{"Identity",
                    {"--bootloader", "--class", "0x1234", "--version", "1.88", "--platform", "12", "--print=48",
                     "--info", "0xBEEF", "--bl-class", "51202", "--bl-version", "3.1"},
                    [](const TSimOptions& o) {
                      const TLoggerIdentity& id = o.config.identity;
                      EXPECT_TRUE(id.startInBootloader);
                      EXPECT_EQ(id.appClass, 0x1234);
                      EXPECT_EQ(id.appVerH, 1);
                      EXPECT_EQ(id.appVerL, 88);
                      EXPECT_EQ(id.platform, 12);
                      EXPECT_EQ(id.print, 48);
                      EXPECT_EQ(id.info, 0xBEEF);
                      EXPECT_EQ(id.blClass, 0xC802);
                      EXPECT_EQ(id.blVerL, 1);
                    }},
        TOptionCase{"UpdateIdBlock",
                    {"--upid-id", "1", "--upid-info", "2", "--upid-platform", "3", "--upid-print", "0xFFFF"},
                    [](const TSimOptions& o) {
                      const TLoggerIdentity& id = o.config.identity;
                      EXPECT_EQ(id.upidId, 1);
                      EXPECT_EQ(id.upidInfo, 2);
                      EXPECT_EQ(id.upidPlatform, 3);
                      EXPECT_EQ(id.upidPrint, 0xFFFF);
                    }},
        TOptionCase{"ReplyFaults",
                    {"--drop-reply", "3", "--drop-reply", "7", "--fault", "5:exception-bit-bad-checksum",
                     "--fault=9:corrupt-char"},
                    [](const TSimOptions& o) {
                      const std::map<int, TReplyFault> expected = {{3, TReplyFault::Drop},
                                                                   {5, TReplyFault::ExceptionBitBadChecksum},
                                                                   {7, TReplyFault::Drop},
                                                                   {9, TReplyFault::CorruptChar}};
                      EXPECT_EQ(o.config.faults.replyFaultAt, expected);
                    }},
        TOptionCase{"OtherFaults",
                    {"--corrupt-echo", "0", "--corrupt-always", "--exception-bit", "--wrong-class", "0xC802",
                     "--silent-from", "40", "--hang-up-at", "41", "--baud", "9600", "--stay-in-application"},
                    [](const TSimOptions& o) {
                      const TLoggerFaults& f = o.config.faults;
                      EXPECT_EQ(f.corruptEchoOfLine, 0);
                      EXPECT_TRUE(f.corruptEchoAlways);
                      EXPECT_TRUE(f.exceptionBitAlways);
                      EXPECT_EQ(f.wrongClassAfterStart, 0xC802);
                      EXPECT_EQ(f.silentFrom, 40);
                      EXPECT_EQ(f.hangUpAt, 41);
                      EXPECT_EQ(f.baud, 9600);
                      EXPECT_TRUE(f.stayInApplication);
                    }},
        TOptionCase{"Output", {"--flash-out", "/tmp/f.hex", "--quiet", "--exit-after-start", "--help"},
                    [](const TSimOptions& o) {
                      EXPECT_EQ(o.flashOut, "/tmp/f.hex");
                      EXPECT_TRUE(o.quiet && o.exitAfterStart && o.help);
                    }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// --version sets the virtual logger's version when a value follows and asks
// for the program's own version when none does.
TEST(SimVersionOption, ValueSetsTheLoggerVersionAloneAsksForTheProgramVersion) {
  const struct {
    std::vector<std::string> args;
    bool showVersion;
    int appVerH, appVerL;
  } cases[] = {
      {{"--version"}, true, 2, 92},
      {{"--version", "--quiet"}, true, 2, 92},
      {{"--quiet", "--version"}, true, 2, 92},
      {{"--version", "1.88"}, false, 1, 88},
      {{"--version=1.88"}, false, 1, 88},
  };
  for (const auto& c : cases) {
    const TSimOptionsResult result = parseSimOptions(c.args);
    ASSERT_EQ(result.error, "") << c.args.front();
    EXPECT_EQ(result.options.showVersion, c.showVersion) << c.args.size();
    EXPECT_EQ(result.options.config.identity.appVerH, c.appVerH);
    EXPECT_EQ(result.options.config.identity.appVerL, c.appVerL);
  }
}

class SimOptionsRefused : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(SimOptionsRefused, WithAnErrorNamingTheOption) {
  const TSimOptionsResult result = parseSimOptions(GetParam());
  ASSERT_NE(result.error, "");
  const std::string option = GetParam().front().substr(0, GetParam().front().find('='));
  EXPECT_NE(result.error.find(option), std::string::npos) << result.error;
}

INSTANTIATE_TEST_SUITE_P(
    Options, SimOptionsRefused,
    ::testing::Values(std::vector<std::string>{"--colour"}, std::vector<std::string>{"--class"},
                      std::vector<std::string>{"--class", "0x10000"}, std::vector<std::string>{"--class", "12a"},
                      std::vector<std::string>{"--class", "-1"}, std::vector<std::string>{"--version", "2"},
                      std::vector<std::string>{"--version", "2.256"}, std::vector<std::string>{"--fault", "3"},
                      std::vector<std::string>{"--fault", "3:melt"}, std::vector<std::string>{"--fault", "0:drop"},
                      std::vector<std::string>{"--hang-up-at", "0"}, std::vector<std::string>{"--baud", ""},
                      std::vector<std::string>{"--quiet=yes"}, std::vector<std::string>{"--flash-out="},
                      std::vector<std::string>{"--corrupt-part", "checksum"},
                      std::vector<std::string>{"--corrupt-part"}));

struct TEchoPartName {
  const char* name;
  TEchoPart part;
};

void PrintTo(const TEchoPartName& c, std::ostream* os) { *os << c.name; }

class SimEchoPart : public ::testing::TestWithParam<TEchoPartName> {};

// Every part a corrupted echo can change is reachable from the command line
// and named in the help.
TEST_P(SimEchoPart, IsTakenByNameAndListedInTheHelp) {
  const TSimOptionsResult result = parseSimOptions({"--corrupt-part", GetParam().name});
  ASSERT_EQ(result.error, "");
  EXPECT_EQ(result.options.config.faults.corruptEchoPart, GetParam().part);
  EXPECT_NE(simUsage().find(GetParam().name), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Parts, SimEchoPart,
                         ::testing::Values(TEchoPartName{"first-data", TEchoPart::FirstDataByte},
                                           TEchoPartName{"middle-data", TEchoPart::MiddleDataByte},
                                           TEchoPartName{"last-data", TEchoPart::LastDataByte},
                                           TEchoPartName{"address", TEchoPart::Address},
                                           TEchoPartName{"type", TEchoPart::Type},
                                           TEchoPartName{"length", TEchoPart::Length}),
                         [](const auto& testCase) {
                           std::string name = testCase.param.name;
                           std::erase(name, '-');
                           return name;
                         });

}  // namespace
}  // namespace kelvry::sim
