// The firmware overview as text: which rows, in which order, and columns
// that line up.

#include <gtest/gtest.h>

#include "cli/firmware_table.h"
#include "firmware/firmware_sources.h"

namespace kelvry::cli {
namespace {

class FirmwareTable : public ::testing::Test {
protected:
  void SetUp() override {
    savedSource_ = selectedSource.load();
    savedHeader_ = fileHeader;
  }
  void TearDown() override {
    selectedSource = savedSource_;
    fileHeader = savedHeader_;
  }

private:
  int32_t savedSource_ = -1;
  TBl3FileHeader savedHeader_;
};

TEST_F(FirmwareTable, ListsTheImagesFromTheLastToTheFirst) {
  selectedSource = -1;
  const std::vector<TTableRow> rows = overviewRows();
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (TTableRow{"Kelvry", "2.92", "F5438 WD", "A10i BLE UART", "04.04.2024 15:53:54", "3.0"}));
  EXPECT_EQ(rows[1][3], "A10g BLE UART");
  EXPECT_EQ(rows[2][3], "A10e BLE UART");
  EXPECT_EQ(rows[3][1], "1.88");
  EXPECT_EQ(rows[3][3], "A10");
}

TEST_F(FirmwareTable, SelectedUpdateFileComesFirst) {
  fileHeader = TBl3FileHeader{26135, 3, 5, 15, 39, "01.02.2025", 3, 1};
  selectedSource = 0;
  const std::vector<TTableRow> rows = overviewRows();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0], (TTableRow{"Kelvry", "3.05", "F5438 WD", "A10e BLE UART", "01.02.2025", "3.1"}));
  EXPECT_EQ(rows[1][4], "04.04.2024 15:53:54");
}

TEST(FirmwareTableRow, UnknownNumbersShowAsQuestionMarks) {
  const TBl3FileHeader unknown{0xFFFF, 0, 0, 0xFFFF, 0xFFFF, "", 0xFFFF, 0};
  EXPECT_EQ(overviewRow(unknown), (TTableRow{"?", "0.00", "?", "?", "", "65535.0"}));
}

TEST(FirmwareTableFormat, ColumnsLineUpWithoutTrailingBlanks) {
  const std::string text = formatTable({"A", "Bee", "C"}, {{"long cell", "b", "c"}, {"x", "", "last"}});
  EXPECT_EQ(text,
            "A          Bee  C\n"
            "long cell  b    c\n"
            "x               last\n");
}

TEST(FirmwareTableFormat, EmptyLastCellLeavesNoBlanks) {
  EXPECT_EQ(formatTable({"A", "B"}, {{"a", ""}}), "A  B\na\n");
}

}  // namespace
}  // namespace kelvry::cli
