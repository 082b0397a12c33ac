// Erase, programming with read-back, the vector table last, the restart
// and the final class check, against the virtual logger.

#include <mutex>

#include "tests/engine/job_fixture.h"

namespace kelvry::test {
namespace {

std::vector<int32_t> codesOf(const std::vector<TNotification>& notes) {
  std::vector<int32_t> codes;
  for (const auto& n : notes)
    if (n.code != ntf::Progress) codes.push_back(static_cast<int32_t>(n.code));
  return codes;
}

std::vector<std::string> withoutEndOfFile(std::vector<std::string> lines) {
  lines.pop_back();
  return lines;
}

TEST_F(JobTest, VectorTableIsHeldBackAndProgrammedLast) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  const auto notes = runJob(logger);

  EXPECT_EQ(notes.back(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(logger.stats().programOrder,
            (std::vector<uint16_t>{0x0200, 0x0201, 0x0400, 0x0401, kVectorBlock}));
  EXPECT_EQ(sink.valuesOf(ntf::VectorTable), (std::vector<int32_t>{0, 1}));
  EXPECT_EQ(sink.valuesOf(ntf::SourceSelected), (std::vector<int32_t>{0}));
  // Lines 0..4 of 5: progress i*99/5 for every line but the held-back one.
  EXPECT_EQ(sink.valuesOf(ntf::Progress), (std::vector<int32_t>{19, 59, 79}));
  // The restarted logger answers as the application.
  EXPECT_EQ(sink.valuesOf(ntf::ClassWord).back(), 0x6617);
  EXPECT_TRUE(logger.stats().inApplication);
  EXPECT_EQ(logger.flashLines(), smallImage());  // already in block order
}

TEST_F(JobTest, OnlyTheLaterOfTwoVectorTableLinesIsProgrammed) {
  const std::string early = dataRecord(kVectorBlock, 1);
  const std::string late = dataRecord(kVectorBlock, 2);
  sim::TMemoryLogger logger(bootloaderLogger());
  useFileSource({early, dataRecord(0x0200), late, dataRecord(0x0201), kEndOfFile});
  runJob(logger);
  EXPECT_EQ(sink.valuesOf(ntf::VectorTable), (std::vector<int32_t>{0, 0, 1}));
  EXPECT_EQ(logger.stats().programOrder, (std::vector<uint16_t>{0x0200, 0x0201, kVectorBlock}));
  const auto flash = logger.flashLines();
  EXPECT_NE(std::find(flash.begin(), flash.end(), late), flash.end());
}

// Lines the bootloader cannot take are found before the erase, so the
// logger keeps the application it has. The notification names the line;
// for a missing vector table, the end line.
struct UnusableLineCase {
  const char* name;
  std::vector<std::string> lines;
  int32_t lineIndex;
};

void PrintTo(const UnusableLineCase& c, std::ostream* os) { *os << c.name; }

class UnusableLineTest : public JobTest, public ::testing::WithParamInterface<UnusableLineCase> {};

TEST_P(UnusableLineTest, IsRefusedBeforeTheLoggerIsErased) {
  sim::TMemoryLogger logger;  // the application runs
  useFileSource(GetParam().lines);
  const auto notes = runJob(logger);
  ASSERT_GE(notes.size(), 2u);
  EXPECT_EQ(notes[notes.size() - 2], (TNotification{ntf::LineNotRecord, GetParam().lineIndex}));
  EXPECT_EQ(notes.back(), (TNotification{ntf::JobFailed, err::ConversionError}));
  EXPECT_EQ(result.lineIndex, GetParam().lineIndex);
  EXPECT_TRUE(sink.valuesOf(ntf::SourceSelected).empty());
  EXPECT_EQ(logger.stats().erases, 0);
  EXPECT_EQ(logger.stats().recordsProgrammed, 0);
}

std::string lowerCase(std::string line) {
  std::transform(line.begin(), line.end(), line.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
  return line;
}

std::string withBadChecksum(std::string line) {
  line.back() = line.back() == '0' ? '1' : '0';
  return line;
}

INSTANTIATE_TEST_SUITE_P(
    Job, UnusableLineTest,
    ::testing::Values(
        UnusableLineCase{"LowerCase",
                         {dataRecord(0x0200), lowerCase(dataRecord(0x0201)), dataRecord(kVectorBlock), kEndOfFile},
                         1},
        UnusableLineCase{"BadChecksum",
                         {dataRecord(0x0200), dataRecord(kVectorBlock), withBadChecksum(dataRecord(0x0201)), kEndOfFile},
                         2},
        UnusableLineCase{"BlankLineInTheMiddle", {dataRecord(0x0200), "", dataRecord(kVectorBlock), kEndOfFile}, 1},
        UnusableLineCase{"ThirtyTwoByteDataRecord",
                         {dataRecord(0x0200), record(32, 0x0201, 0), dataRecord(kVectorBlock), kEndOfFile},
                         1},
        UnusableLineCase{"ExtendedAddressRecord",
                         {record(2, 0, 4), dataRecord(0x0200), dataRecord(kVectorBlock), kEndOfFile},
                         0},
        UnusableLineCase{"EndRecordInTheMiddle",
                         {dataRecord(0x0200), kEndOfFile, dataRecord(kVectorBlock), kEndOfFile},
                         1},
        UnusableLineCase{"NoVectorTable", {dataRecord(0x0200), dataRecord(0x0201), kEndOfFile}, 2}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(JobTest, ReadBackDifferenceNamesTheLine) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.corruptEchoOfLine = 5;  // the sixth data record the logger receives
  sim::TMemoryLogger logger(config);
  runJob(logger);  // built-in image 4; its vector table is line 327
  const auto notes = sink.all();
  ASSERT_GE(notes.size(), 2u);
  EXPECT_EQ(notes[notes.size() - 2], (TNotification{ntf::ReadBackDiffers, 5}));
  EXPECT_EQ(notes.back(), (TNotification{ntf::JobFailed, err::ProgrammingError}));
  EXPECT_EQ(result.lineIndex, 5);
  EXPECT_EQ(logger.stats().programOrder.size(), 6u);
}

TEST_F(JobTest, ReadBackDifferenceOfTheVectorTableNamesTheEndLine) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.corruptEchoOfLine = 4;  // the vector table arrives fifth
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  runJob(logger);
  const auto notes = sink.all();
  ASSERT_GE(notes.size(), 2u);
  EXPECT_EQ(notes[notes.size() - 2], (TNotification{ntf::ReadBackDiffers, 5}));
  EXPECT_EQ(notes.back(), (TNotification{ntf::JobFailed, err::ProgrammingError}));
}

TEST_F(JobTest, LoggerThatStopsAnsweringEndsInCommunicationFailure) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.silentFrom = 12;  // some lines into programming
  sim::TMemoryLogger logger(config);
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::CommFailure, 0}));
  EXPECT_EQ(logger.stats().erases, 1);
}

TEST_F(JobTest, WrongClassAfterTheRestartIsReported) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.wrongClassAfterStart = 0x6621;
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  runJob(logger);
  const auto notes = sink.all();
  EXPECT_EQ(notes[notes.size() - 2], (TNotification{ntf::ClassWord, 0x6621}));
  EXPECT_EQ(notes.back(), (TNotification{ntf::JobFailed, err::WrongClassAfterStart}));
}

TEST_F(JobTest, CancelDuringProgrammingLeavesTheBootloaderForTheNextRun) {
  sim::TMemoryLogger logger;
  sink.cancelWhen = [](const TNotification& n) { return n.code == ntf::Progress && n.value == 1; };
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::Cancelled}));
  EXPECT_FALSE(logger.stats().inApplication);
  EXPECT_GT(logger.stats().programOrder.size(), 20u);
  EXPECT_LT(logger.stats().programOrder.size(), 40u);

  // The next run finds the bootloader, sends no jump and erases again.
  // Tokens are never cleared: the next run has a token of its own.
  bCancel = std::make_shared<TCancelToken>();
  TJobSink second;
  runJob(logger, second);
  EXPECT_EQ(second.valuesOf(ntf::ClassWord).front(), 0xC802);
  EXPECT_EQ(second.last(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(logger.stats().jumps, 1);
  EXPECT_EQ(logger.stats().erases, 2);
}

TEST_F(JobTest, TestEntryProgramsLikeAnUpdateAndCarriesItsCommand) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  runJob(logger, TCmd::tCMD_TEST);
  EXPECT_EQ(sink.valuesOf(ntf::SourceSelected), (std::vector<int32_t>{3}));
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobDone, 3}));
  EXPECT_EQ(logger.stats().erases, 1);
}

TEST_F(JobTest, StartWaitsHalfASecondAndTheClassCheckFourMore) {
  // The job's clock is virtual: the times are exact. The logger answers at
  // once, so the only time after the vector line is the two pauses.
  std::chrono::milliseconds started{-1};
  std::chrono::milliseconds askedAfterStart{-1};
  sim::TLoggerConfig config = bootloaderLogger();
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  config.onEvent = [&](const std::string& event) {
    if (event.rfind("start", 0) == 0) started = clock.elapsed();
    if (event.rfind("identity query", 0) == 0 && started.count() >= 0) askedAfterStart = clock.elapsed();
  };
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  std::chrono::milliseconds vectorProgramming{-1};
  sink.cancelWhen = [&](const TNotification& n) {
    if (n.code == ntf::VectorTable && n.value == 1) vectorProgramming = clock.elapsed();
    return false;
  };
  runJob(logger);
  ASSERT_EQ(sink.last(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(started - vectorProgramming, 500ms);
  EXPECT_EQ(askedAfterStart - started, 4000ms);
}

TEST_F(JobTest, CancelInTheRestartPauseEndsTheJobAtOnce) {
  // Real time: the pause after the start command lasts 4 s unless a cancel
  // cuts it short.
  sim::TLoggerConfig config = bootloaderLogger();
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  auto worker = startCommThread(sink, request(), environment(logger, steadyClock()));
  while (logger.stats().starts == 0) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(100ms);  // well inside the pause
  const auto cancelled = std::chrono::steady_clock::now();
  bCancel->cancel();
  ASSERT_TRUE(sink.waitForFinal(10s));
  EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 150ms);
  worker.reset();
  // The new firmware runs: the job says so instead of "cancelled".
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::CancelledAfterStart}));
  EXPECT_TRUE(logger.stats().inApplication);
}

TEST_F(JobTest, CancelBeforeTheStartCommandIsAPlainCancel) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.extraImages.push_back(withoutEndOfFile(smallImage()));
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  sink.cancelWhen = [](const TNotification& n) { return n.code == ntf::VectorTable && n.value == 1; };
  runJob(logger);
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::Cancelled}));
  EXPECT_EQ(logger.stats().starts, 0);
}

TEST_F(JobTest, OwnerLettingGoOfARunningJobWaitsForIt) {
  // Real time again, so that the job is still running when its owner lets go.
  sim::TMemoryLogger logger;
  auto worker = startCommThread(sink, request(), environment(logger, steadyClock()));
  while (logger.stats().programOrder.size() < 10) std::this_thread::sleep_for(1ms);
  bCancel->cancel();
  worker.reset();  // must join before the job's own fields go
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobFailed, err::Cancelled}));
}

TEST_F(JobTest, TwoJobsOnTwoLoggersRunSideBySide) {
  // Two loggers of different prints get their own images, at the same time,
  // in one process.
  sim::TLoggerConfig config48;
  config48.identity.print = 48;
  sim::TMemoryLogger logger56;
  sim::TMemoryLogger logger48(config48);
  sim::TVirtualClock clock48;
  TJobSink sink48;
  auto first = startCommThread(sink, request(), environment(logger56, clock));
  auto second = startCommThread(sink48, request(), environment(logger48, clock48));
  ASSERT_TRUE(sink.waitForFinal(60s));
  ASSERT_TRUE(sink48.waitForFinal(60s));
  first->waitFor();
  second->waitFor();
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(sink48.last(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(first->result().selectedSource, 4);
  EXPECT_EQ(second->result().selectedSource, 3);
  EXPECT_EQ(logger56.stats().programOrder.size(), 2273u);
  EXPECT_EQ(logger48.stats().programOrder.size(), 2273u);
  EXPECT_TRUE(logger56.stats().inApplication);
  EXPECT_TRUE(logger48.stats().inApplication);
}

struct ImageCase {
  int32_t source;
  uint16_t print;
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << "source " << c.source; }

class FullUpdateTest : public JobTest, public ::testing::WithParamInterface<ImageCase> {};

TEST_P(FullUpdateTest, BuiltInImageEndsUpInTheLoggersFlash) {
  sim::TLoggerConfig config;  // the application runs, as at a customer's
  config.identity.print = GetParam().print;
  sim::TMemoryLogger logger(config);
  const auto notes = runJob(logger);

  ASSERT_EQ(notes.back(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(selectedSource, GetParam().source);
  const TFirmwareSources builtIn;
  const auto source = static_cast<uint32_t>(GetParam().source);
  const int32_t n = builtIn.getFirmwareLineCount(source);
  std::vector<std::string> image;
  for (int32_t i = 0; i < n; ++i) {
    std::string line;
    builtIn.getFirmwareLine(source, i, line);
    image.push_back(line);
  }
  std::sort(image.begin(), image.end(), [](const std::string& a, const std::string& b) {
    return a.substr(3, 4) < b.substr(3, 4);
  });
  image.push_back(kEndOfFile);
  EXPECT_EQ(logger.flashLines(), image);
  EXPECT_EQ(logger.stats().programOrder.back(), kVectorBlock);
  EXPECT_EQ(logger.stats().programOrder.size(), static_cast<size_t>(n));

  const auto progress = sink.valuesOf(ntf::Progress);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), 98);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
  EXPECT_EQ(std::adjacent_find(progress.begin(), progress.end()), progress.end());

  const std::vector<int32_t> expectedCodes = [&] {
    std::vector<int32_t> codes = {20, 21, 20, 21, 22, 23, 24, 25, 28, 22, 23};
    for (int32_t s = 1; s <= GetParam().source; ++s) codes.push_back(27);
    codes.insert(codes.end(), {26, 40, 40, 20, 0});
    return codes;
  }();
  EXPECT_EQ(codesOf(notes), expectedCodes);
}

INSTANTIATE_TEST_SUITE_P(Job, FullUpdateTest,
                         ::testing::Values(ImageCase{1, 19}, ImageCase{2, 39}, ImageCase{3, 48}, ImageCase{4, 56}),
                         [](const auto& p) { return "Image" + std::to_string(p.param.source); });

}  // namespace
}  // namespace kelvry::test
