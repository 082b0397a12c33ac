// The firmware overview as text: which rows, in which order, and columns
// that line up.

#include <gtest/gtest.h>

#include "cli/outputs/text_table.h"
#include "firmware/firmware_sources.h"
#include "frontend/firmware_overview.h"

namespace kelvry::cli {
namespace {

TEST(FirmwareTable, ListsTheImagesFromTheLastToTheFirst) {
  const std::vector<TTableRow> rows = overviewRows(TFirmwareSources{}, -1);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (TTableRow{"Kelvry", "2.92", "F5438 WD", "A10i BLE UART", "04.04.2024 15:53:54", "3.0"}));
  EXPECT_EQ(rows[1][3], "A10g BLE UART");
  EXPECT_EQ(rows[2][3], "A10e BLE UART");
  EXPECT_EQ(rows[3][1], "1.88");
  EXPECT_EQ(rows[3][3], "A10");
}

TEST(FirmwareTable, SelectedUpdateFileComesFirst) {
  const TFirmwareSources withFile(
      std::make_shared<const TUpdateFile>(TUpdateFile{{26135, 3, 5, 15, 39, "01.02.2025", 3, 1}, {}}));
  EXPECT_EQ(overviewRows(withFile, 3).size(), 4u) << "a file that is not the selected source has no row";
  const std::vector<TTableRow> rows = overviewRows(withFile, 0);
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
