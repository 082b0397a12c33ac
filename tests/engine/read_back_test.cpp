// The echo of every programmed line is the one check between a logger that
// wrote its flash wrongly and a reported success: a difference in any part
// of the echo ends the job naming the line, and an echo the link refuses is
// sent again instead.

#include "tests/engine/job_fixture.h"

namespace kelvry::test {
namespace {

using sim::TEchoPart;

// The small image's lines in the order the logger receives them: the vector
// table (line 2) comes last and is named by the end line, 5.
constexpr int kArrivalOfLineThree = 2;
constexpr int kArrivalOfTheVectorTable = 4;

struct TReadBackCase {
  const char* name;
  TEchoPart part;
  int arrival;        // which data line the logger echoes wrongly, counted from 0
  int32_t namedLine;  // the line the job names
};

void PrintTo(const TReadBackCase& c, std::ostream* os) { *os << c.name; }

class ReadBackTest : public JobTest, public ::testing::WithParamInterface<TReadBackCase> {};

TEST_P(ReadBackTest, DifferenceInAnyPartEndsTheJobAtThatLine) {
  const TReadBackCase& c = GetParam();
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.corruptEchoOfLine = c.arrival;
  config.faults.corruptEchoPart = c.part;
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  const auto notes = runJob(logger);

  ASSERT_GE(notes.size(), 2u);
  EXPECT_EQ(notes[notes.size() - 2], (TNotification{ntf::ReadBackDiffers, c.namedLine}));
  EXPECT_EQ(notes.back(), (TNotification{ntf::JobFailed, err::ProgrammingError}));
  EXPECT_EQ(result.lineIndex, c.namedLine);
  // The comparison caught it, not the link: the line went out once and
  // nothing followed it.
  EXPECT_EQ(logger.stats().programOrder.size(), static_cast<size_t>(c.arrival) + 1);
  EXPECT_EQ(logger.stats().starts, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ReadBackTest,
    ::testing::Values(
        TReadBackCase{"FirstDataByte", TEchoPart::FirstDataByte, kArrivalOfLineThree, 3},
        TReadBackCase{"MiddleDataByte", TEchoPart::MiddleDataByte, kArrivalOfLineThree, 3},
        TReadBackCase{"LastDataByte", TEchoPart::LastDataByte, kArrivalOfLineThree, 3},
        TReadBackCase{"Address", TEchoPart::Address, kArrivalOfLineThree, 3},
        TReadBackCase{"Type", TEchoPart::Type, kArrivalOfLineThree, 3},
        TReadBackCase{"Length", TEchoPart::Length, kArrivalOfLineThree, 3},
        TReadBackCase{"FirstLineLastDataByte", TEchoPart::LastDataByte, 0, 0},
        TReadBackCase{"VectorTableFirstDataByte", TEchoPart::FirstDataByte, kArrivalOfTheVectorTable, 5},
        TReadBackCase{"VectorTableMiddleDataByte", TEchoPart::MiddleDataByte, kArrivalOfTheVectorTable, 5},
        TReadBackCase{"VectorTableLastDataByte", TEchoPart::LastDataByte, kArrivalOfTheVectorTable, 5},
        TReadBackCase{"VectorTableAddress", TEchoPart::Address, kArrivalOfTheVectorTable, 5},
        TReadBackCase{"VectorTableType", TEchoPart::Type, kArrivalOfTheVectorTable, 5},
        TReadBackCase{"VectorTableLength", TEchoPart::Length, kArrivalOfTheVectorTable, 5}),
    [](const auto& p) { return std::string(p.param.name); });

// Exchanges of a job with a logger in its bootloader: two wake-ups, the
// identity query, logger info, update-ID block, erase, then the data lines.
constexpr int kExchangeOfTheSecondDataLine = 8;

struct TRefusedEchoCase {
  const char* name;
  sim::TReplyFault fault;
};

void PrintTo(const TRefusedEchoCase& c, std::ostream* os) { *os << c.name; }

class RefusedEchoTest : public JobTest, public ::testing::WithParamInterface<TRefusedEchoCase> {};

// Were the echo's checksum not checked, a broken echo would differ from the
// line and end the job as a programming error.
TEST_P(RefusedEchoTest, IsSentAgainAndTheUpdateCompletes) {
  sim::TLoggerConfig config = bootloaderLogger();
  config.faults.replyFaultAt[kExchangeOfTheSecondDataLine] = GetParam().fault;
  std::vector<std::string> image = smallImage();
  image.pop_back();  // the logger knows the image by its data lines
  config.extraImages.push_back(image);
  sim::TMemoryLogger logger(config);
  useFileSource(smallImage());
  const auto notes = runJob(logger);

  EXPECT_EQ(notes.back(), (TNotification{ntf::JobDone, 0}));
  EXPECT_TRUE(sink.valuesOf(ntf::ReadBackDiffers).empty());
  EXPECT_EQ(logger.stats().programOrder,
            (std::vector<uint16_t>{0x0200, 0x0201, 0x0201, 0x0400, 0x0401, kVectorBlock}));
}

INSTANTIATE_TEST_SUITE_P(Faults, RefusedEchoTest,
                         ::testing::Values(TRefusedEchoCase{"BadChecksum", sim::TReplyFault::BadChecksum},
                                           TRefusedEchoCase{"OneCharacterShort", sim::TReplyFault::Truncate},
                                           TRefusedEchoCase{"LineNoise", sim::TReplyFault::Nul}),
                         [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvry::test
