#include "firmware/update_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "firmware/firmware_sources.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_sources.h"

namespace kelvry {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- key=value

struct TKeyCase {
  std::string line;
  std::string key;
  std::string value;
};

class KeyValue : public testing::TestWithParam<TKeyCase> {};

TEST_P(KeyValue, SplitsAtTheFirstEqualsSignOnlyForTheExactKey) {
  std::string value = "stale";
  getKeyValue(GetParam().line, GetParam().key, value);
  EXPECT_EQ(value, GetParam().value) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyValue,
    testing::Values(TKeyCase{"class=26135", "class", "26135"},
                    TKeyCase{"class= 26135", "class", " 26135"},     // nothing is trimmed
                    TKeyCase{"class =26135", "class", ""},           // blank before "="
                    TKeyCase{" class=26135", "class", ""},
                    TKeyCase{"Class=26135", "class", ""},            // case counts
                    TKeyCase{"date=a=b c", "date", "a=b c"},         // only the first "=" splits
                    TKeyCase{"class=", "class", ""},
                    TKeyCase{"class26135", "class", ""},             // no "=" at all
                    TKeyCase{"bootloader version=0", "bootloader", ""},
                    TKeyCase{"=5", "", "5"}));

// ---------------------------------------------------------- header integers

struct TNumberCase {
  const char* text;
  std::optional<uint16_t> word;
};

class HeaderInteger : public testing::TestWithParam<TNumberCase> {};

TEST_P(HeaderInteger, ConvertsLikeTheFileFormatSays) {
  EXPECT_EQ(toHeaderWord(GetParam().text), GetParam().word) << "'" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, HeaderInteger,
    testing::Values(TNumberCase{"0", 0}, TNumberCase{"26135", 26135}, TNumberCase{" 12", 12},
                    TNumberCase{"   12", 12}, TNumberCase{"+5", 5}, TNumberCase{" -1", 0xFFFF},
                    TNumberCase{"-1", 0xFFFF}, TNumberCase{"91671", 26135}, TNumberCase{"0065", 65},
                    TNumberCase{"$1A", 0x1A}, TNumberCase{"$1a", 0x1A}, TNumberCase{"x1a", 0x1A},
                    TNumberCase{"X1A", 0x1A}, TNumberCase{"0x1A", 0x1A}, TNumberCase{"0X1a", 0x1A},
                    TNumberCase{"-$1", 0xFFFF}, TNumberCase{"$FFFFFFFF", 0xFFFF},
                    TNumberCase{"$00000000000000006617", 0x6617}, TNumberCase{"4294967295", 0xFFFF},
                    TNumberCase{"2147483647", 0xFFFF}, TNumberCase{"-2147483648", 0},
                    TNumberCase{"65536", 0}, TNumberCase{"-0", 0}));

INSTANTIATE_TEST_SUITE_P(
    Refused, HeaderInteger,
    testing::Values(TNumberCase{"", std::nullopt}, TNumberCase{" ", std::nullopt},
                    TNumberCase{"12 ", std::nullopt}, TNumberCase{"12a", std::nullopt},
                    TNumberCase{"a12", std::nullopt}, TNumberCase{"1 2", std::nullopt},
                    TNumberCase{"\t12", std::nullopt}, TNumberCase{"12\r", std::nullopt},
                    TNumberCase{"1.0", std::nullopt}, TNumberCase{"1e3", std::nullopt},
                    TNumberCase{"4294967296", std::nullopt}, TNumberCase{"$100000000", std::nullopt},
                    TNumberCase{"-2147483649", std::nullopt}, TNumberCase{"99999999999999999999999", std::nullopt},
                    TNumberCase{"-", std::nullopt}, TNumberCase{"+", std::nullopt},
                    TNumberCase{"+-1", std::nullopt}, TNumberCase{"- 1", std::nullopt},
                    TNumberCase{"$", std::nullopt}, TNumberCase{"x", std::nullopt},
                    TNumberCase{"0x", std::nullopt}, TNumberCase{"$-1", std::nullopt},
                    TNumberCase{"$ 1", std::nullopt}, TNumberCase{"0b1", std::nullopt},
                    TNumberCase{"$1G", std::nullopt}, TNumberCase{"00x1", std::nullopt}));

// ------------------------------------------------------------- file header

// The header of a file for the same logger as the fourth built-in image.
const std::vector<std::string> kImage4Header{
    "bootloader=3", "bootloader version=0", "class=26135", "versionH=2",
    "versionL=92",  "platform=15",          "print=56",    "date=04.04.2024 15:53:54"};

std::string joined(const std::vector<std::string>& lines, const std::string& lineBreak = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + lineBreak;
  return text;
}

TBl3FileHeader image4Header() {
  TBl3FileHeader header;
  TFirmwareSources{}.getFirmwareHeader(4, header);
  return header;
}

// A header with every field set to a value no file in these tests uses, to
// see which fields a failing read changed.
TBl3FileHeader markedHeader() {
  TBl3FileHeader header;
  header.tarvo_class = header.tarvo_verH = header.tarvo_verL = 0xABCD;
  header.tarvo_platform = header.tarvo_print = header.tarvo_bl = header.tarvo_bl_ver = 0xABCD;
  header.tarvo_date = "marked";
  return header;
}

TEST(ReadFileHeader, ReadsTheEightFieldsInOrder) {
  for (const std::string lineBreak : {"\r\n", "\n"}) {
    std::istringstream in(joined(kImage4Header, lineBreak) + ":00000001FF" + lineBreak);
    TBl3FileHeader header = markedHeader();
    EXPECT_TRUE(readFileHeader(in, header));
    EXPECT_EQ(header, image4Header());
    std::string next;
    std::getline(in, next);
    EXPECT_EQ(next.substr(0, 11), ":00000001FF") << "reads exactly eight lines";
  }
}

TEST(ReadFileHeader, SkipsAByteOrderMark) {
  std::istringstream in("\xEF\xBB\xBF" + joined(kImage4Header));
  TBl3FileHeader header;
  readFileHeader(in, header);
  EXPECT_EQ(header, image4Header());
}

TEST(ReadFileHeader, BootloaderMustBeExactlyTwoOrThree) {
  const std::vector<std::pair<std::string, uint16_t>> cases{
      {"bootloader=3", 3},    {"bootloader=2", 2},    {"bootloader=3 ", 0xFFFF}, {"bootloader= 3", 0xFFFF},
      {"bootloader=1", 0xFFFF}, {"bootloader=03", 0xFFFF}, {"bootloader=", 0xFFFF}, {"bootloader = 3", 0xFFFF},
      {"Bootloader=3", 0xFFFF}};
  for (const auto& [first, expected] : cases) {
    std::vector<std::string> lines = kImage4Header;
    lines[0] = first;
    std::istringstream in(joined(lines));
    TBl3FileHeader header;
    ASSERT_NO_THROW(readFileHeader(in, header)) << first;
    EXPECT_EQ(header.tarvo_bl, expected) << first;
    // The next line is still read as the "bootloader version" line.
    EXPECT_EQ(header.tarvo_class, 26135) << first;
  }
}

TEST(ReadFileHeader, DateIsTakenWholeAfterTheFirstEqualsSign) {
  std::vector<std::string> lines = kImage4Header;
  lines[7] = "date= 04.04.2024 = build 7 ";
  std::istringstream in(joined(lines));
  TBl3FileHeader header;
  readFileHeader(in, header);
  EXPECT_EQ(header.tarvo_date, " 04.04.2024 = build 7 ");
}

TEST(ReadFileHeader, SevenLinesGiveAnEmptyDate) {
  std::istringstream in(joined({kImage4Header.begin(), kImage4Header.begin() + 7}));
  TBl3FileHeader header = markedHeader();
  EXPECT_TRUE(readFileHeader(in, header));
  EXPECT_EQ(header.tarvo_print, 56);
  EXPECT_EQ(header.tarvo_date, "");
}

struct THeaderFailure {
  const char* what;
  std::vector<std::string> lines;
  std::string message;
  int fieldsWritten;  // in file order: bl, bl_ver, class, verH, verL, platform, print
};

class HeaderFailure : public testing::TestWithParam<THeaderFailure> {};

TEST_P(HeaderFailure, NamesTheValueAndKeyAndKeepsWhatWasReadBefore) {
  const THeaderFailure& c = GetParam();
  std::istringstream in(joined(c.lines));
  TBl3FileHeader header = markedHeader();
  try {
    readFileHeader(in, header);
    ADD_FAILURE() << "no conversion error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(std::string(e.what()), c.message);
  }
  const uint16_t fields[] = {header.tarvo_bl,   header.tarvo_bl_ver,   header.tarvo_class, header.tarvo_verH,
                             header.tarvo_verL, header.tarvo_platform, header.tarvo_print};
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(fields[i] != 0xABCD, i < c.fieldsWritten) << "field " << i;
  }
  EXPECT_EQ(header.tarvo_date, "marked");
}

std::vector<std::string> withLine(size_t index, const std::string& line) {
  std::vector<std::string> lines = kImage4Header;
  lines[index] = line;
  return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderFailure,
    testing::Values(
        THeaderFailure{"letters", withLine(2, "class=12a"), "'12a' is not a valid integer value (class)", 2},
        THeaderFailure{"trailing blank", withLine(2, "class=26135 "), "'26135 ' is not a valid integer value (class)", 2},
        THeaderFailure{"misspelt key", withLine(2, "clas=26135"), "'' is not a valid integer value (class)", 2},
        THeaderFailure{"blank before equals", withLine(5, "platform =15"), "'' is not a valid integer value (platform)", 5},
        THeaderFailure{"out of order", {kImage4Header[0], kImage4Header[1], kImage4Header[3], kImage4Header[2]},
                       "'' is not a valid integer value (class)", 2},
        THeaderFailure{"too large", withLine(6, "print=4294967296"), "'4294967296' is not a valid integer value (print)", 6},
        THeaderFailure{"three lines", {kImage4Header.begin(), kImage4Header.begin() + 3},
                       "'' is not a valid integer value (versionH)", 3},
        THeaderFailure{"empty file", {}, "'' is not a valid integer value (bootloader version)", 1}),
    [](const testing::TestParamInfo<THeaderFailure>& caseInfo) {
      std::string name = caseInfo.param.what;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

TEST(ReadFileHeader, LeadingBlankAndOtherNotationsConvert) {
  std::vector<std::string> lines = kImage4Header;
  lines[2] = "class= 91671";  // low 16 bits of 91671 are 26135
  lines[3] = "versionH=$2";
  lines[5] = "platform=0x0F";
  lines[6] = "print=-1";
  std::istringstream in(joined(lines));
  TBl3FileHeader header;
  readFileHeader(in, header);
  EXPECT_EQ(header.tarvo_class, 26135);
  EXPECT_EQ(header.tarvo_verH, 2);
  EXPECT_EQ(header.tarvo_platform, 15);
  EXPECT_EQ(header.tarvo_print, 0xFFFF);
}

// --------------------------------------------------------------- file loading

// A private folder per test and a clean file source before and after.
class UpdateFileOnDisk : public testing::Test {
 protected:
  void SetUp() override { dir_ = test::makeTempFolder("kelvry-update-file-"); }

  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  // Loads into `loaded`; the header and lines read back through
  // fileHeader() and fileLines().
  bool load(const std::string& path, std::string* why = nullptr) {
    loaded = loadUpdateFile(path, why);
    return loaded.has_value();
  }
  const TBl3FileHeader& fileHeader() const { return loaded.value().header; }
  const std::vector<std::string>& fileLines() const { return loaded.value().lines; }
  int32_t fileLineCount() const {
    return TFirmwareSources(std::make_shared<const TUpdateFile>(loaded.value())).getFirmwareLineCount(0);
  }

  std::optional<TUpdateFile> loaded;

  std::string write(const std::string& name, const std::string& content) const {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }

  fs::path dir_;
};

std::vector<std::string> image4Lines() {
  std::vector<std::string> lines;
  const TFirmwareSources builtIn;
  const int32_t count = builtIn.getFirmwareLineCount(4);
  for (int32_t i = 0; i <= count; ++i) {
    std::string line;
    builtIn.getFirmwareLine(4, i, line);
    lines.push_back(line);
  }
  return lines;
}

TEST_F(UpdateFileOnDisk, LoadsAFileWrittenFromTheFourthImage) {
  const std::vector<std::string> records = image4Lines();
  struct TVariant {
    const char* name;
    std::string content;
  };
  const TVariant variants[] = {
      {"crlf.upd", joined(kImage4Header) + joined(records)},
      {"lf.upd", joined(kImage4Header, "\n") + joined(records, "\n")},
      {"bom.upd", "\xEF\xBB\xBF" + joined(kImage4Header) + joined(records)},
      {"no-final-break.upd", joined(kImage4Header) + joined(records).substr(0, joined(records).size() - 2)},
  };
  for (const TVariant& v : variants) {
    std::string why = "untouched";
    ASSERT_TRUE(load(write(v.name, v.content), &why)) << v.name << ": " << why;
    EXPECT_EQ(fileHeader(), image4Header()) << v.name;
    EXPECT_EQ(fileLines(), records) << v.name;
    EXPECT_EQ(fileLineCount(), 2273) << v.name;
  }
}

TEST_F(UpdateFileOnDisk, RecordLinesAreEveryLineWithoutEqualsSign) {
  const std::string path = write("mixed.upd", joined(kImage4Header) + joined({
                                                  ":0100000520DA",
                                                  "comment=dropped",
                                                  "",
                                                  "a note without key",
                                                  "x=y=z",
                                                  ":00000001FF",
                                                  "",
                                              }));
  ASSERT_TRUE(load(path));
  const std::vector<std::string> expected{":0100000520DA", "", "a note without key", ":00000001FF", ""};
  EXPECT_EQ(fileLines(), expected);
}

TEST_F(UpdateFileOnDisk, HeaderAndEndOfFileAloneGiveLineCountZero) {
  ASSERT_TRUE(load(write("empty.upd", joined(kImage4Header) + ":00000001FF\r\n")));
  EXPECT_EQ(fileLineCount(), 0);
}

TEST_F(UpdateFileOnDisk, FileWithoutDateLineKeepsItsFirstRecord) {
  std::vector<std::string> lines(kImage4Header.begin(), kImage4Header.begin() + 7);
  lines.push_back(test::dataRecord(test::kVectorBlock));
  lines.push_back(":00000001FF");
  ASSERT_TRUE(load(write("nodate.upd", joined(lines))));
  EXPECT_EQ(fileHeader().tarvo_date, "");
  EXPECT_EQ(fileLines(), (std::vector<std::string>{test::dataRecord(test::kVectorBlock), ":00000001FF"}));
}

TEST_F(UpdateFileOnDisk, UnloadableFilesReturnFalseAndSayWhy) {
  struct TCase {
    const char* what;
    std::string path;
    std::string problem;
  };
  const TCase cases[] = {
      {"missing", (dir_ / "missing.upd").string(), "cannot be opened"},
      {"folder", dir_.string(), "cannot be read"},
      {"bad number", write("bad.upd", joined(withLine(2, "class=12a")) + ":00000001FF\r\n"),
       "'12a' is not a valid integer value (class)"},
      {"empty name", "", "cannot be opened"},
      // Refused when loaded, so that no logger is erased for it.
      {"short record", write("short.upd", joined(kImage4Header) + joined({test::record(32, 0x0200, 0), test::kEndOfFile})),
       "record 0 (:2002000000"},
      {"no vector table",
       write("novector.upd", joined(kImage4Header) + joined({test::dataRecord(0x0200), test::kEndOfFile})),
       "interrupt vector table"},
  };
  for (const TCase& c : cases) {
    std::string why;
    EXPECT_FALSE(load(c.path, &why)) << c.what;
    EXPECT_NE(why.find("\"" + c.path + "\""), std::string::npos) << c.what << ": " << why;
    EXPECT_NE(why.find(c.problem), std::string::npos) << c.what << ": " << why;
  }
  EXPECT_FALSE(loadUpdateFile((dir_ / "missing.upd").string())) << "works without a reason wanted";
}

// A technician reads these: the file, then one plain sentence that names the
// record and what the bootloader wants instead.
TEST_F(UpdateFileOnDisk, AFileTheBootloaderCannotTakeIsRefusedInOneSentence) {
  struct TCase {
    const char* name;
    std::vector<std::string> records;
    std::string sentence;
  };
  const TCase cases[] = {
      {"short", {test::record(32, 0x0200, 0), test::dataRecord(test::kVectorBlock), test::kEndOfFile},
       "record 0 (:2002000000010203040...) holds 32 data bytes; the bootloader takes 64"},
      {"novector", {test::dataRecord(0x0200), test::kEndOfFile},
       "the file has no interrupt vector table line (block 03DF)"},
      {"type", {test::record(2, 0, 4), test::dataRecord(test::kVectorBlock), test::kEndOfFile},
       "record 0 (:020000040001F9) has record type 4; the bootloader takes data records (type 0) only"},
      {"lower", {"x" + test::dataRecord(0x0200).substr(1), test::dataRecord(test::kVectorBlock), test::kEndOfFile},
       "record 0 (x4002000000010203040...) is not an Intel HEX record in upper case with a right checksum"},
  };
  for (const TCase& c : cases) {
    const std::string path = write(std::string(c.name) + ".upd", joined(kImage4Header) + joined(c.records));
    std::string why;
    EXPECT_FALSE(load(path, &why)) << c.name;
    EXPECT_EQ(why, "\"" + path + "\": " + c.sentence) << c.name;
  }
}

TEST_F(UpdateFileOnDisk, HeaderInfoReadsTheHeaderOnly) {
  EXPECT_EQ(readFileHeaderInfo(write("info.upd", joined(kImage4Header) + "not a record=\r\n")), image4Header());
}

TEST_F(UpdateFileOnDisk, HeaderInfoFailuresNameTheFileAndChangeNothing) {
  struct TCase {
    const char* what;
    std::string path;
    std::string problem;
    bool conversion;
  };
  const TCase cases[] = {
      {"missing", (dir_ / "gone.upd").string(), "cannot be opened", false},
      {"folder", dir_.string(), "cannot be read", false},
      {"bad number", write("bad.upd", joined(withLine(6, "print=abc"))), "'abc' is not a valid integer value (print)",
       true},
  };
  for (const TCase& c : cases) {
    try {
      readFileHeaderInfo(c.path);
      ADD_FAILURE() << c.what << ": no exception";
    } catch (const EConvertError& e) {
      EXPECT_TRUE(c.conversion) << c.what;
      EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << e.what();
    } catch (const std::runtime_error& e) {
      EXPECT_FALSE(c.conversion) << c.what;
      EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace kelvry
