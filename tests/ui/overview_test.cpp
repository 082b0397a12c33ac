// The firmware overview ("Firmware") and the update file information
// ("File version").

#include <numeric>

#include <QHeaderView>
#include <QTemporaryDir>

#include "firmware/identity_names.h"
#include "tests/ui/update_file_writer.h"
#include "frontend/firmware_overview.h"
#include "tests/ui/window_fixture.h"
#include "ui/info_window.h"

namespace kelvry::test {
namespace {

class Overview : public TWindowTest {
protected:
  QStringList builtinColumn(int column) const {
    QStringList cells;
    for (const QStringList& row : dialogs.overviews.at(0).rows) cells << row.at(column);
    return cells;
  }
  QTemporaryDir folder;
};

TEST_F(Overview, ListsTheBuiltInImagesFromTheLastToTheFirst) {
  openWindow();
  frmMain->move(30, 40);
  frmMain->menInfoFirmware->trigger();

  ASSERT_EQ(dialogs.overviews.size(), 1u);
  EXPECT_EQ(dialogs.overviews[0].rows.size(), 4u);
  EXPECT_EQ(builtinColumn(1), (QStringList{"2.92", "2.92", "2.92", "1.88"}));
  EXPECT_EQ(builtinColumn(3), (QStringList{"A10i BLE UART", "A10g BLE UART", "A10e BLE UART", "A10"}));
  EXPECT_EQ(builtinColumn(5), (QStringList{"3.0", "3.0", "3.0", "3.0"}));
  EXPECT_EQ(builtinColumn(0).mid(0, 3), (QStringList{"Kelvry", "Kelvry", "Kelvry"}));
  EXPECT_EQ(builtinColumn(2), (QStringList{"F5438 WD", "F5438 WD", "F5438 WD", "F5438 WD"}));
}

TEST_F(Overview, CoversTheMainWindowAndFitsItsColumns) {
  openWindow();
  frmMain->move(30, 40);
  frmMain->menInfoFirmware->trigger();
  ASSERT_EQ(dialogs.overviews.size(), 1u);
  const TDialogRecorder::TOverview& shown = dialogs.overviews[0];
  const QRect main = frmMain->frameGeometry();
  EXPECT_EQ(shown.outline.topLeft(), main.topLeft());
  EXPECT_EQ(shown.outline.height(), main.height());

  TfrmInfo& info = *frmMain->frmInfo();
  const QStringList headers{"Firmware", "Version", "Platform", "Print", "Date", "BL"};
  ASSERT_EQ(info.ListView1->columnCount(), headers.size());
  for (int column = 0; column < headers.size(); ++column) {
    EXPECT_EQ(info.ListView1->headerItem()->text(column), headers[column]);
    const QFontMetrics header(info.ListView1->header()->font());
    const QFontMetrics cells(info.ListView1->font());
    int widest = header.horizontalAdvance(headers[column]);
    for (const QStringList& row : shown.rows) widest = std::max(widest, cells.horizontalAdvance(row[column]));
    EXPECT_GE(shown.columnWidths[static_cast<size_t>(column)], widest + 5) << headers[column].toStdString();
  }
  const int sum = std::accumulate(shown.columnWidths.begin(), shown.columnWidths.end(), 0);
  EXPECT_EQ(shown.clientWidth, sum + 30);
}

TEST_F(Overview, DateColumnIsTheWidestEntryPlusFive) {
  // The date is the longest text of the table; its width decides the
  // column, not the short header.
  openWindow();
  frmMain->menInfoFirmware->trigger();
  TfrmInfo& info = *frmMain->frmInfo();
  const int fitsEntries = static_cast<QAbstractItemView*>(info.ListView1)->sizeHintForColumn(4);
  ASSERT_GT(fitsEntries, info.ListView1->header()->sectionSizeHint(4));
  EXPECT_EQ(dialogs.overviews.at(0).columnWidths[4], fitsEntries + 5);
}

TEST_F(Overview, FileVersionPutsTheFileOnTop) {
  const QString file = folder.filePath("next.upd");
  writeUpdateFile(file, TUpdateFileHeader{.versionH = "3", .versionL = "5", .print = "48", .date = "01.02.2025"});
  openWindow({"f:+"}, true);
  dialogs.files = {file};

  frmMain->menInfoFile->trigger();

  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
  ASSERT_EQ(dialogs.overviews.size(), 1u);
  ASSERT_EQ(dialogs.overviews[0].rows.size(), 5u);
  EXPECT_EQ(dialogs.overviews[0].rows[0],
            (QStringList{"Kelvry", "3.05", "F5438 WD", "A10g BLE UART", "01.02.2025", "3.0"}));
  EXPECT_EQ(frmMain->selectedSource, 0);

  // A job with the built-in images lists the four images again.
  frmMain->PrepareJob(QString());
  frmMain->menInfoFirmware->trigger();
  EXPECT_EQ(dialogs.overviews.at(1).rows.size(), 4u);
}

TEST_F(Overview, FileVersionWithAnUnreadableHeaderShowsTheErrorOnly) {
  const QString file = folder.filePath("broken.upd");
  writeUpdateFile(file, TUpdateFileHeader{.versionL = "9x2"});
  openWindow({"f:+"}, true);
  frmMain->selectedSource = 3;
  dialogs.files = {file};

  frmMain->menInfoFile->trigger();

  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].contains("9x2")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.errors[0].contains("broken.upd")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.overviews.empty());
  EXPECT_EQ(frmMain->selectedSource, 3);
}

TEST_F(Overview, FileVersionCancelledOrMissingChangesNothing) {
  openWindow({"f:+"}, true);
  frmMain->selectedSource = -1;
  for (const QString& choice : {QString(), folder.filePath("absent.upd")}) {
    dialogs.files = {choice};
    frmMain->menInfoFile->trigger();
  }
  EXPECT_TRUE(dialogs.overviews.empty());
  EXPECT_TRUE(dialogs.errors.isEmpty());
  EXPECT_EQ(frmMain->selectedSource, -1);
}

TEST(OverviewRow, WritesVersionsWithTwoMinorDigitsAndUnknownNamesAsQuestionMarks) {
  const TBl3FileHeader header{.tarvo_class = 26125, .tarvo_verH = 1, .tarvo_verL = 5, .tarvo_platform = 29,
                              .tarvo_print = 41, .tarvo_date = "x=y", .tarvo_bl = 0xFFFF, .tarvo_bl_ver = 0};
  EXPECT_EQ(overviewRow(header), (TOverviewRow{"?", "1.05", "?", "?", "x=y", "65535.0"}));
}

}  // namespace
}  // namespace kelvry::test
