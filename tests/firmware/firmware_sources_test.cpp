#include "firmware/firmware_sources.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "firmware/hex_codec.h"

namespace kelvry {
namespace {

// The built-in images, and a file source made of what the test puts in
// fileHeader and fileLines.
class FirmwareSources : public testing::Test {
 protected:
  TFirmwareSources sources() const {
    return TFirmwareSources(std::make_shared<const TUpdateFile>(TUpdateFile{fileHeader, fileLines}));
  }

  TBl3FileHeader fileHeader;
  std::vector<std::string> fileLines;
};

std::vector<std::string> imageLines(uint32_t source) {
  const int32_t count = TFirmwareSources{}.getFirmwareLineCount(source);
  std::vector<std::string> lines;
  for (int32_t i = 0; i <= count; ++i) {
    TBl3FileHeader header;
    int32_t ignored = 0;
    std::string line;
    TFirmwareSources{}.getFirmwareSource(source, reqLine, i, header, ignored, line);
    lines.push_back(line);
  }
  return lines;
}

struct TImageFacts {
  uint32_t source;
  uint16_t verH;
  uint16_t verL;
  uint16_t print;
  const char* date;
  int32_t lineCount;
  int32_t vectorLine;  // the one record at block 0x03DF
};

class BuiltinImage : public FirmwareSources, public testing::WithParamInterface<TImageFacts> {};

TEST_P(BuiltinImage, HeaderSaysWhichLoggerItIsFor) {
  const TImageFacts& facts = GetParam();
  TBl3FileHeader header;
  sources().getFirmwareHeader(facts.source, header);
  EXPECT_EQ(header.tarvo_class, 26135);
  EXPECT_EQ(header.tarvo_verH, facts.verH);
  EXPECT_EQ(header.tarvo_verL, facts.verL);
  EXPECT_EQ(header.tarvo_platform, 15);
  EXPECT_EQ(header.tarvo_print, facts.print);
  EXPECT_EQ(header.tarvo_date, facts.date);
  EXPECT_EQ(header.tarvo_bl, 3);
  EXPECT_EQ(header.tarvo_bl_ver, 0);
}

TEST_P(BuiltinImage, EndsWithTheEndOfFileRecordAtItsLineCount) {
  const TImageFacts& facts = GetParam();
  EXPECT_EQ(sources().getFirmwareLineCount(facts.source), facts.lineCount);
  const std::vector<std::string> lines = imageLines(facts.source);
  ASSERT_EQ(lines.size(), static_cast<size_t>(facts.lineCount) + 1);
  EXPECT_EQ(lines.back(), ":00000001FF");
}

TEST_P(BuiltinImage, DataLinesAreFullRecordsInAscendingBlockOrder) {
  const TImageFacts& facts = GetParam();
  const std::vector<std::string> lines = imageLines(facts.source);
  THexCodec codec;
  std::vector<int> blocks;
  std::vector<int32_t> vectorLines;
  for (int32_t i = 0; i < facts.lineCount; ++i) {
    const std::string& line = lines[static_cast<size_t>(i)];
    ASSERT_EQ(line.size(), 139u) << "line " << i;
    codec.hexLine = line;
    ASSERT_TRUE(codec.hexLineToRecord()) << "line " << i;
    ASSERT_EQ(codec.count(), 64) << "line " << i;
    ASSERT_EQ(codec.type(), 0) << "line " << i;
    const int block = codec.addressHigh() * 256 + codec.addressLow();
    ASSERT_TRUE(blocks.empty() || block > blocks.back()) << "line " << i;
    blocks.push_back(block);
    if (block == 0x03DF) vectorLines.push_back(i);
  }
  EXPECT_EQ(blocks.front(), 0x0200);
  EXPECT_EQ(blocks.back(), 0x0D7F);
  EXPECT_EQ(vectorLines, std::vector<int32_t>{facts.vectorLine});
}

INSTANTIATE_TEST_SUITE_P(
    AllFour, BuiltinImage,
    testing::Values(TImageFacts{1, 1, 88, 19, "05.06.2019 14:22:50", 1853, 273},
                    TImageFacts{2, 2, 92, 39, "04.04.2024 15:59:48", 2273, 327},
                    TImageFacts{3, 2, 92, 48, "04.04.2024 15:55:12", 2273, 327},
                    TImageFacts{4, 2, 92, 56, "04.04.2024 15:53:54", 2273, 327}),
    [](const testing::TestParamInfo<TImageFacts>& caseInfo) { return "Image" + std::to_string(caseInfo.param.source); });

TEST_F(FirmwareSources, ImagesThreeAndFourDifferOnlyInTheirHeaders) {
  EXPECT_EQ(imageLines(3), imageLines(4));
  TBl3FileHeader three;
  TBl3FileHeader four;
  sources().getFirmwareHeader(3, three);
  sources().getFirmwareHeader(4, four);
  EXPECT_NE(three, four);
}

TEST_F(FirmwareSources, ImageTwoSharesPartOfItsLinesWithImageThree) {
  const std::vector<std::string> two = imageLines(2);
  const std::vector<std::string> three = imageLines(3);
  ASSERT_EQ(two.size(), three.size());
  int shared = 0;
  for (size_t i = 0; i < two.size(); ++i) shared += two[i] == three[i] ? 1 : 0;
  EXPECT_EQ(shared, 731);
}

TEST_F(FirmwareSources, ImageCountIsFour) { EXPECT_EQ(TFirmwareSources::getImageCount(), 4); }

TEST_F(FirmwareSources, SourcesOutsideTheRangeAnswerWithPresetOutputs) {
  for (uint32_t source : {static_cast<uint32_t>(-1), 5u, 0xFFFFu}) {
    EXPECT_EQ(sources().getFirmwareLineCount(source), 0) << source;
    TBl3FileHeader header;
    sources().getFirmwareHeader(source, header);
    EXPECT_EQ(header.tarvo_class, 0xFFFF) << source;
    EXPECT_EQ(header.tarvo_platform, 0xFFFF) << source;
    EXPECT_EQ(header.tarvo_print, 0xFFFF) << source;
    EXPECT_EQ(header.tarvo_verH, 0) << source;
    EXPECT_TRUE(header.tarvo_date.empty()) << source;
  }
}

TEST_F(FirmwareSources, SelectorRefusesBadSourceOrRequestButPresetsItsOutputs) {
  struct TCase {
    uint32_t source;
    uint32_t request;
  };
  for (const TCase c : {TCase{5, reqHeader}, TCase{static_cast<uint32_t>(-1), reqLine}, TCase{1, 3}, TCase{0, 7}}) {
    TBl3FileHeader header;
    header.tarvo_verH = 7;  // fields other than class, platform, print stay as passed in
    header.tarvo_date = "kept";
    int32_t count = 99;
    std::string line = "old";
    EXPECT_FALSE(sources().getFirmwareSource(c.source, c.request, 0, header, count, line));
    EXPECT_EQ(header.tarvo_class, 0xFFFF);
    EXPECT_EQ(header.tarvo_platform, 0xFFFF);
    EXPECT_EQ(header.tarvo_print, 0xFFFF);
    EXPECT_EQ(header.tarvo_verH, 7);
    EXPECT_EQ(header.tarvo_date, "kept");
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(line.empty());
  }
}

TEST_F(FirmwareSources, HeaderRequestForAnImageAlsoFillsCountAndLineZero) {
  TBl3FileHeader header;
  int32_t count = 0;
  std::string line;
  ASSERT_TRUE(sources().getFirmwareSource(4, reqHeader, 0, header, count, line));
  EXPECT_EQ(header.tarvo_print, 56);
  EXPECT_EQ(count, 2273);
  EXPECT_EQ(line, imageLines(4).front());
}

TEST_F(FirmwareSources, FileSourceCountsFromItsLines) {
  EXPECT_EQ(sources().getFirmwareLineCount(0), -1);
  fileLines = {":00000001FF"};
  EXPECT_EQ(sources().getFirmwareLineCount(0), 0);
  fileLines = {"first", "second", ":00000001FF"};
  EXPECT_EQ(sources().getFirmwareLineCount(0), 2);
}

TEST_F(FirmwareSources, FileSourceGivesItsHeaderAndLines) {
  fileHeader.tarvo_class = 26145;
  fileHeader.tarvo_print = 55;
  fileHeader.tarvo_date = "01.01.2025 00:00:00";
  fileLines = {"first", ":00000001FF"};

  TBl3FileHeader header;
  sources().getFirmwareHeader(0, header);
  EXPECT_EQ(header, fileHeader);

  TBl3FileHeader ignored;
  int32_t count = 0;
  std::string line;
  ASSERT_TRUE(sources().getFirmwareSource(0, reqLine, 1, ignored, count, line));
  EXPECT_EQ(line, ":00000001FF");
}

TEST_F(FirmwareSources, FileLineOutsideTheListIsAnError) {
  fileLines = {":00000001FF"};
  TBl3FileHeader header;
  int32_t count = 0;
  std::string line;
  EXPECT_THROW(sources().getFirmwareSource(0, reqLine, 1, header, count, line), std::out_of_range);
  EXPECT_THROW(sources().getFirmwareSource(0, reqLine, -1, header, count, line), std::out_of_range);
}

TEST_F(FirmwareSources, LinesComeFromTheNumberedSource) {
  fileLines = {"file line", ":00000001FF"};
  std::string line;
  sources().getFirmwareLine(0, 0, line);
  EXPECT_EQ(line, "file line");
  sources().getFirmwareLine(1, 1853, line);
  EXPECT_EQ(line, ":00000001FF");
  // -1, "none chosen", is no source at all.
  sources().getFirmwareLine(static_cast<uint32_t>(-1), 0, line);
  EXPECT_TRUE(line.empty());
  EXPECT_EQ(sources().getFirmwareLineCount(static_cast<uint32_t>(-1)), 0);
}

TEST(FirmwareSourcesWithoutFile, SourceZeroIsEmpty) {
  const TFirmwareSources builtIn;
  EXPECT_FALSE(builtIn.hasFile());
  EXPECT_EQ(builtIn.getFirmwareLineCount(0), -1);
  TBl3FileHeader header;
  builtIn.getFirmwareHeader(0, header);
  EXPECT_EQ(header, TBl3FileHeader{});
}

}  // namespace
}  // namespace kelvry
