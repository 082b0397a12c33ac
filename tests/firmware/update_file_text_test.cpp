// Reading an update file safely: what the path points to, how large it is
// and what its text looks like are checked before any line is parsed, so a
// bad file is refused at once with its real fault and never hangs the tool
// or fills its memory.

#include "firmware/update_file_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "tests/firmware/special_files.h"
#include "tests/support/temp_folder.h"

namespace kelvry {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kHeader =
    "bootloader=3\r\nbootloader version=0\r\nclass=26135\r\nversionH=2\r\nversionL=92\r\n"
    "platform=15\r\nprint=56\r\ndate=04.04.2024 15:53:54\r\n";
const std::string kSmallFile = kHeader + ":0100000520DA\r\n:00000001FF\r\n";

// The text as a UTF-16 editor would save it, little-endian with or without
// its byte-order mark.
std::string utf16(const std::string& ascii, bool withMark) {
  std::string text = withMark ? "\xFF\xFE"s : ""s;
  for (const char c : ascii) {
    text += c;
    text += '\0';
  }
  return text;
}

std::string utf16BigEndian(const std::string& ascii) {
  std::string text;
  for (const char c : ascii) {
    text += '\0';
    text += c;
  }
  return text;
}

// ------------------------------------------------------------ text faults

struct TTextCase {
  const char* name;
  std::string text;
  const char* fault;  // nullptr: the text may be parsed
};

void PrintTo(const TTextCase& c, std::ostream* out) { *out << c.name; }

class UpdateFileText : public testing::TestWithParam<TTextCase> {};

TEST_P(UpdateFileText, NamesTheRealFault) {
  const std::optional<std::string> fault = updateFileTextFault(GetParam().text);
  if (GetParam().fault == nullptr) {
    EXPECT_EQ(fault, std::nullopt);
    return;
  }
  ASSERT_TRUE(fault.has_value());
  EXPECT_NE(fault->find(GetParam().fault), std::string::npos) << *fault;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, UpdateFileText,
    testing::Values(TTextCase{"ascii", kSmallFile, nullptr},
                    TTextCase{"utf8 mark and national date", "\xEF\xBB\xBF" + kHeader + "date=04.04.2024 M\xC3\xBCnchen\r\n",
                              nullptr},
                    TTextCase{"tabs are text", kHeader + "\tnote\n", nullptr},
                    TTextCase{"empty", "", "empty"},
                    TTextCase{"utf16 with mark", utf16(kSmallFile, true), "UTF-16"},
                    TTextCase{"utf16 without mark", utf16(kSmallFile, false), "UTF-16"},
                    TTextCase{"utf16 big-endian", utf16BigEndian(kSmallFile), "UTF-16"},
                    TTextCase{"null byte", kHeader + ":0100000520DA\0\r\n"s, "binary data (byte 0x00 at offset 136)"},
                    TTextCase{"escape byte", kHeader + "\x1B[0m\r\n", "binary data (byte 0x1B"},
                    TTextCase{"executable", "\x7F" "ELF\x02\x01\x01", "binary data (byte 0x7F at offset 0)"},
                    TTextCase{"one long line", std::string(5000, 'A'), "no line breaks"},
                    TTextCase{"carriage returns only", "bootloader=3\rclass=26135\r", "carriage return alone"}),
    [](const testing::TestParamInfo<TTextCase>& param) {
      std::string name = param.param.name;
      for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

// ------------------------------------------------------------ files on disk

class UpdateFilePath : public testing::Test {
 protected:
  void SetUp() override { dir_ = test::makeTempFolder("kelvry-update-text-"); }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  std::string write(const std::string& name, const std::string& content) const {
    const fs::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
  }

  // A file that claims more than the limit without using the disk for it.
  std::string sparse(size_t size) const {
    const std::string path = write("huge.upd", kHeader);
    fs::resize_file(path, size);
    return path;
  }

  fs::path dir_;
};

TEST_F(UpdateFilePath, ReadsARegularFileWhole) { EXPECT_EQ(readUpdateFileText(write("a.upd", kSmallFile)), kSmallFile); }

// A file that is refused must be refused for the right reason, and neither
// the text nor the header reader may be asked to make sense of it.
TEST_F(UpdateFilePath, RefusesWhatIsNoUsableFileWithItsRealFault) {
  struct TCase {
    const char* name;
    std::string path;
    const char* fault;
  };
  std::vector<TCase> cases = {
      {"directory", dir_.string(), "a directory"},
      {"larger than the limit", sparse(kMaxUpdateFileBytes + 1), "larger than 16 MiB"},
      {"UTF-16", write("utf16.upd", utf16(kSmallFile, true)), "UTF-16"},
      {"binary", write("binary.upd", kHeader + "\x01\x02\x03\r\n"), "binary data"},
      {"no line breaks", write("one-line.upd", "bootloader=3 class=26135 :00000001FF"), "no line breaks"},
      {"empty", write("empty.upd", ""), "empty"},
  };
  for (const test::TSpecialFile& special : test::specialFiles(dir_))
    cases.push_back({special.name, special.path, special.fault});
  for (const TCase& c : cases) {
    std::string why;
    EXPECT_FALSE(loadUpdateFile(c.path, &why).has_value()) << c.name;
    EXPECT_NE(why.find(c.fault), std::string::npos) << c.name << ": " << why;
    EXPECT_EQ(why.find("not a valid integer"), std::string::npos) << c.name << ": " << why;
    EXPECT_THROW(readFileHeaderInfo(c.path), std::runtime_error) << c.name;
  }
}

}  // namespace
}  // namespace kelvry
