// The check of a whole image before anything is erased: what the bootloader
// takes, and messages that name the line and what is wrong with it.

#include "firmware/image_check.h"

#include <gtest/gtest.h>

#include "firmware/firmware_sources.h"
#include "tests/support/test_sources.h"

namespace kelvry::test {
namespace {

struct TCheckCase {
  const char* name;
  std::vector<std::string> lines;
  int32_t lineIndex;        // -1: no problem
  const char* messagePart;  // found in the message
};

void PrintTo(const TCheckCase& c, std::ostream* os) { *os << c.name; }

class ImageCheck : public ::testing::TestWithParam<TCheckCase> {};

TEST_P(ImageCheck, FindsTheFirstLineTheBootloaderCannotTake) {
  const TCheckCase& c = GetParam();
  const auto problem = checkImageLines(c.lines);
  if (c.lineIndex < 0) {
    EXPECT_FALSE(problem) << problem->what;
    return;
  }
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->lineIndex, c.lineIndex);
  EXPECT_NE(problem->what.find(c.messagePart), std::string::npos) << problem->what;
}

const std::string kData = dataRecord(0x0200);
const std::string kVector = dataRecord(kVectorBlock);

INSTANTIATE_TEST_SUITE_P(
    Lines, ImageCheck,
    ::testing::Values(
        TCheckCase{"Fine", {kData, kVector, kEndOfFile}, -1, ""},
        TCheckCase{"ThirtyTwoBytes", {kData, record(32, 0x0201, 0), kVector, kEndOfFile}, 1,
                   "record 1 (:2002010000"},
        TCheckCase{"ThirtyTwoBytesSaysWhy", {kData, record(32, 0x0201, 0), kVector, kEndOfFile}, 1,
                   "holds 32 data bytes; the bootloader takes 64"},
        TCheckCase{"TypeTwo", {record(2, 0, 2), kVector, kEndOfFile}, 0, "has record type 2"},
        TCheckCase{"EndInTheMiddle", {kData, kEndOfFile, kVector, kEndOfFile}, 1, "has record type 1"},
        TCheckCase{"Blank", {kData, "", kVector, kEndOfFile}, 1, "record 1 () is not an Intel HEX record"},
        TCheckCase{"LowerCase", {"x" + kData.substr(1), kVector, kEndOfFile}, 0, "is not an Intel HEX record"},
        TCheckCase{"BinaryIsShownSafely", {std::string("\x01\xFF:", 3), kVector, kEndOfFile}, 0, "record 0 (??:)"},
        TCheckCase{"NoVectorTable", {kData, kEndOfFile}, 1, "interrupt vector table"},
        TCheckCase{"Empty", {}, 0, "no lines"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(ImageCheckOfBuiltInImages, EveryImageIsTakenWhole) {
  const TFirmwareSources builtIn;
  for (uint32_t source = 1; source <= 4; ++source) {
    const auto problem = checkImageLines(
        [&](int32_t i) {
          std::string line;
          builtIn.getFirmwareLine(source, i, line);
          return line;
        },
        builtIn.getFirmwareLineCount(source));
    EXPECT_FALSE(problem) << source << ": " << problem->what;
  }
}

}  // namespace
}  // namespace kelvry::test
