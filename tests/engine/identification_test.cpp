// Identification, the bootloader jump, the logger's identity data and the
// choice of firmware, against the virtual logger.

#include "tests/engine/job_fixture.h"

namespace kelvry::test {
namespace {

constexpr int32_t kNone = 0xFFFF;

TEST_F(JobTest, BootloaderLoggerIsReadAndMatchedWithoutAJump) {
  sim::TMemoryLogger logger(bootloaderLogger());
  bReadInfoOnly = true;
  const auto notes = runJob(logger);
  const std::vector<TNotification> expected = {
      {ntf::ClassWord, 0xC802}, {ntf::VersionWord, 0x0300},
      {ntf::Platform, 15},      {ntf::Print, 56},
      {ntf::InfoWord, 0},       {ntf::UpdateClass, 26135},
      {ntf::UpdateInfo, 0xFFFE}, {ntf::Platform, kNone},
      {ntf::Print, kNone},      {ntf::CheckingSource, 1},
      {ntf::CheckingSource, 2}, {ntf::CheckingSource, 3},
      {ntf::CheckingSource, 4}, {ntf::JobFailed, err::ReadInfoOnly}};
  EXPECT_EQ(notes, expected);
  EXPECT_EQ(selectedSource, 4);
  EXPECT_EQ(logger.stats().jumps, 0);
  EXPECT_EQ(logger.stats().erases, 0);
}

TEST_F(JobTest, RunningApplicationGetsExactlyOneJump) {
  sim::TMemoryLogger logger;  // the application runs
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::ClassWord), (std::vector<int32_t>{0x6617, 0xC802}));
  EXPECT_EQ(sink.valuesOf(ntf::VersionWord), (std::vector<int32_t>{0x025C, 0x0300}));
  EXPECT_EQ(logger.stats().jumps, 1);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::ReadInfoOnly}));
}

TEST_F(JobTest, ForeignApplicationIsNotSwitchedWhileTheFirmwareCheckIsOn) {
  sim::TLoggerConfig config;
  config.identity.appClass = 0x6621;
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NotInBootloader}));
  EXPECT_EQ(sink.valuesOf(ntf::ClassWord), (std::vector<int32_t>{0x6621}));
  EXPECT_EQ(logger.stats().jumps, 0);
}

TEST_F(JobTest, ForeignApplicationIsSwitchedWithTheFirmwareCheckOff) {
  sim::TLoggerConfig config;
  config.identity.appClass = 0x6621;
  sim::TMemoryLogger logger(config);
  bCheckFirmware = false;
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(logger.stats().jumps, 1);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::ReadInfoOnly}));
}

TEST_F(JobTest, LoggerStillRunningItsApplicationAfterTheJumpIsRefused) {
  sim::TLoggerConfig config;
  config.faults.stayInApplication = true;
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::ClassWord), (std::vector<int32_t>{0x6617, 0x6617}));
  EXPECT_EQ(logger.stats().jumps, 1);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NotInBootloader}));
}

TEST_F(JobTest, Platform14IsTreatedAsPlatform15) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.platform = 14;
  sim::TMemoryLogger logger(config);
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::Platform), (std::vector<int32_t>{15, kNone}));
  // The update-ID block of platform 15 sits at block 0x0060: the logger
  // answers its class only there.
  EXPECT_EQ(sink.valuesOf(ntf::UpdateClass), (std::vector<int32_t>{26135}));
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::ReadInfoOnly}));
}

TEST_F(JobTest, UnknownPlatformSkipsTheUpdateIdBlockAndMatchesNothing) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.platform = 29;
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::Platform), (std::vector<int32_t>{kNone, kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::Print), (std::vector<int32_t>{56, kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::UpdateClass), (std::vector<int32_t>{kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::UpdateInfo), (std::vector<int32_t>{kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::CheckingSource), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
  EXPECT_EQ(selectedSource, -1);
}

TEST_F(JobTest, UpdateIdOverridesReplaceTheReportedPlatformAndPrint) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.print = 3;         // would match no image
  config.identity.upidPrint = 19;    // the update-ID block says image 1
  sim::TMemoryLogger logger(config);
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::Print), (std::vector<int32_t>{3, 19}));
  EXPECT_EQ(sink.valuesOf(ntf::CheckingSource), (std::vector<int32_t>{1}));
  EXPECT_EQ(selectedSource, 1);
}

TEST_F(JobTest, OverridesAreTakenAsTheyStand) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.upidPlatform = 14;    // not substituted by 15 as an override
  config.identity.upidPrint = 0x1234;   // unknown to the tables, still taken
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::Platform), (std::vector<int32_t>{15, 14}));
  EXPECT_EQ(sink.valuesOf(ntf::Print), (std::vector<int32_t>{56, 0x1234}));
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
}

TEST_F(JobTest, UnknownNumbersFromTheLoggerBecomeUnknownButTheInfoWordIsKept) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.print = 41;         // not in the print table
  config.identity.upidId = 26125;     // not in the class table
  config.identity.info = 0x1234;      // reported as it is, big-endian on the wire
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::Print), (std::vector<int32_t>{kNone, kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::UpdateClass), (std::vector<int32_t>{kNone}));
  EXPECT_EQ(sink.valuesOf(ntf::InfoWord), (std::vector<int32_t>{0x1234}));
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
}

TEST(UpdateIdBlock, AddressByPlatform) {
  const struct {
    uint16_t platform;
    uint16_t address;
  } cases[] = {{1, 0x1000}, {10, 0x1000}, {0xFFFE, 0x1000}, {12, 0x1800}, {15, 0x1800}, {28, 0x1800},
               {8, 0x1900},  {11, 0x1900}, {25, 0x1900},    {0, 0},       {3, 0},       {18, 0},
               {19, 0},      {29, 0}};
  for (const auto& c : cases) EXPECT_EQ(upidBlockAddress(c.platform), c.address) << c.platform;
}

TEST_F(JobTest, EveryJobSearchesAllImagesWhateverAnEarlierJobChose) {
  sim::TMemoryLogger logger(bootloaderLogger());
  bReadInfoOnly = true;
  runJob(logger);
  TJobSink second;
  runJob(logger, second);
  EXPECT_EQ(second.valuesOf(ntf::CheckingSource), (std::vector<int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(selectedSource, 4);
}

struct MatchCase {
  const char* name;
  uint16_t upidId;
  uint16_t upidInfo;
  bool checkClass;
  bool checkInfo;
  int32_t expectedFinal;
};

void PrintTo(const MatchCase& c, std::ostream* os) { *os << c.name; }

class SelectionTest : public JobTest, public ::testing::WithParamInterface<MatchCase> {};

TEST_P(SelectionTest, UpdateClassAndInfoDecideTheMatch) {
  const auto& c = GetParam();
  sim::TLoggerConfig config = bootloaderLogger();
  config.identity.upidId = c.upidId;
  config.identity.upidInfo = c.upidInfo;
  sim::TMemoryLogger logger(config);
  bCheckClass = c.checkClass;
  bCheckInfo = c.checkInfo;
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, c.expectedFinal}));
}

INSTANTIATE_TEST_SUITE_P(
    Job, SelectionTest,
    ::testing::Values(MatchCase{"Matching", 26135, 0xFFFE, true, true, err::ReadInfoOnly},
                      MatchCase{"OtherClass", 26145, 0xFFFE, true, true, err::NoMatchingSource},
                      MatchCase{"OtherClassUnchecked", 26145, 0xFFFE, false, true, err::ReadInfoOnly},
                      MatchCase{"UnknownClassUnchecked", 26125, 0xFFFE, false, true, err::ReadInfoOnly},
                      MatchCase{"InfoNotReady", 26135, 0x0001, true, true, err::NoMatchingSource},
                      MatchCase{"InfoNotReadyUnchecked", 26135, 0x0001, true, false, err::ReadInfoOnly}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(JobTest, LoadedFileIsTheOnlyCandidate) {
  sim::TMemoryLogger logger(bootloaderLogger());
  useFileSource(smallImage());
  bReadInfoOnly = true;
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::CheckingSource), (std::vector<int32_t>{0}));
  EXPECT_EQ(selectedSource, 0);
}

TEST_F(JobTest, FileForAnotherBootloaderGenerationDoesNotMatch) {
  sim::TMemoryLogger logger(bootloaderLogger());
  useFileSource(smallImage());
  fileHeader.tarvo_bl = 2;
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::NoMatchingSource}));
  EXPECT_EQ(selectedSource, -1);
}

TEST_F(JobTest, NoReplyToTheInfoRequestIsAnInvalidAnswer) {
  sim::TLoggerConfig config = bootloaderLogger();
  // exchanges: 2 wake-ups, identity, then the info request's five attempts
  for (int k = 4; k <= 8; ++k) config.faults.replyFaultAt[k] = sim::TReplyFault::Drop;
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::InvalidAnswer}));
}

struct LastLineCase {
  const char* name;
  std::vector<std::string> lines;
};

void PrintTo(const LastLineCase& c, std::ostream* os) { *os << c.name; }

class LastLineTest : public JobTest, public ::testing::WithParamInterface<LastLineCase> {};

TEST_P(LastLineTest, SourceIsRefusedBeforeAnythingIsErased) {
  sim::TMemoryLogger logger(bootloaderLogger());
  useFileSource(GetParam().lines);
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::LastLineWrong}));
  EXPECT_EQ(logger.stats().erases, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Job, LastLineTest,
    ::testing::Values(LastLineCase{"LowerCase", {dataRecord(0x200), ":00000001ff"}},
                      LastLineCase{"TrailingBlank", {dataRecord(0x200), ":00000001FF "}},
                      LastLineCase{"EmptyLastLine", {dataRecord(0x200), kEndOfFile, ""}},
                      LastLineCase{"OnlyTheEndLine", {kEndOfFile}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvry::test
