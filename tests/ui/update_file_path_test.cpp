// An update file chosen in the window under a name with letters outside
// ASCII: the window hands the reader the path in UTF-8, and the reader
// spells it for the system, so that "C:\Prüfung\Größe ä.upd" opens on a
// Windows whose code page is not UTF-8 (8.1, LTSC 2019) as well.

#include <algorithm>

#include <QDir>
#include <QTemporaryDir>

#include "tests/ui/memory_logger_fixture.h"
#include "tests/ui/update_file_writer.h"

namespace kelvry::test {
namespace {

const QString kDone = "Update Kelvry V2.92 succesfully completed.";

struct TPathCase {
  const char* name;
  QString folder;
  QString file;
};

// Latin letters that the Western code page holds, Greek that it does not,
// and a character outside the Basic Multilingual Plane (two UTF-16 units).
const TPathCase kPathCases[] = {
    {"GermanLetters", QString::fromUtf8("Prüfung"), QString::fromUtf8("Größe ä.upd")},
    {"GreekLetters", QString::fromUtf8("Ελληνικά"), QString::fromUtf8("υλικολογισμικό.upd")},
    {"BeyondTheBasicPlane", QString::fromUtf8("Prüf 𝄞"), QString::fromUtf8("Kelvry 😀.upd")},
};

void PrintTo(const TPathCase& c, std::ostream* out) { *out << c.name; }

class UpdateFileWithLetters : public TMemoryLoggerWindowTest, public testing::WithParamInterface<TPathCase> {
protected:
  // The file as the dialog returns it: in the platform's spelling.
  QString writeChosenFile() {
    EXPECT_TRUE(QDir(folder.path()).mkpath(GetParam().folder));
    const QString path = QDir(folder.path()).filePath(GetParam().folder + "/" + GetParam().file);
    writeUpdateFile(path, TUpdateFileHeader{});
    EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    return QDir::toNativeSeparators(path);
  }

  // The image's record lines of the update file, in the order the flash
  // keeps them.
  static std::vector<std::string> recordsOf(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::vector<std::string> records;
    for (const QByteArray& line : file.readAll().split('\n')) {
      const QByteArray record = line.trimmed();
      if (record.startsWith(':')) records.push_back(record.toStdString());
    }
    std::sort(records.begin(), records.end());
    return records;
  }

  QTemporaryDir folder;
};

TEST_P(UpdateFileWithLetters, FileVersionShowsItsHeader) {
  const QString chosen = writeChosenFile();
  openWindow({"f:+"}, true);
  dialogs.files = {chosen};

  frmMain->menInfoFile->trigger();

  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
  ASSERT_EQ(dialogs.overviews.size(), 1u);
  ASSERT_FALSE(dialogs.overviews[0].rows.empty());
  EXPECT_EQ(dialogs.overviews[0].rows[0],
            (QStringList{"Kelvry", "2.92", "F5438 WD", "A10i BLE UART", "04.04.2024 15:53:54", "3.0"}));
}

TEST_P(UpdateFileWithLetters, UpdatesTheLoggerFromIt) {
  const QString chosen = writeChosenFile();
  useLogger({});
  dialogs.files = {chosen};

  frmMain->btnFileClick();
  ASSERT_TRUE(waitForIdle());

  EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("|").toStdString();
  ASSERT_EQ(dialogs.messages.size(), 1);
  EXPECT_TRUE(dialogs.messages[0].startsWith(kDone)) << dialogs.messages[0].toStdString();
  std::vector<std::string> flash = logger->flashLines();
  std::sort(flash.begin(), flash.end());
  EXPECT_EQ(flash, recordsOf(chosen));
}

INSTANTIATE_TEST_SUITE_P(Cases, UpdateFileWithLetters, testing::ValuesIn(kPathCases),
                         [](const testing::TestParamInfo<TPathCase>& param) { return param.param.name; });

// A file that is not there is named with its letters whole, as the user
// chose it, and the system's reason follows.
class MissingUpdateFileWithLetters : public TWindowTest {};

TEST_F(MissingUpdateFileWithLetters, IsNamedWithItsLettersWhole) {
  const QTemporaryDir folder;
  const QString chosen =
      QDir::toNativeSeparators(QDir(folder.path()).filePath(QString::fromUtf8("Prüfung/Größe ä.upd")));
  openWindow({"f:+"}, true);
  frmMain->cbxPort->setEditText("/dev/ttyUSB0");
  dialogs.files = {chosen};

  frmMain->btnFileClick();

  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("\"" + chosen + "\": the file cannot be opened (")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(dialogs.errors[0].endsWith(")")) << dialogs.errors[0].toStdString();
  EXPECT_FALSE(frmMain->isJobRunning());
}

}  // namespace
}  // namespace kelvry::test
