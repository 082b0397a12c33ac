// The general error handler: a failure that escapes a user action shows an
// error box that describes it, and the program goes on.

#include <stdexcept>

#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include "engine/tarvo_exception.h"
#include "tests/ui/update_file_writer.h"
#include "tests/ui/window_fixture.h"
#include "ui/error_handler.h"

namespace kelvry::test {
namespace {

TEST(FailureDescription, SaysWhatWentWrong) {
  EXPECT_EQ(describeFailure(std::make_exception_ptr(std::runtime_error("disk full"))), "disk full");
  EXPECT_EQ(describeFailure(std::make_exception_ptr(ETarvo(11, "WriteFile"))), "Error 11: WriteFile");
  EXPECT_EQ(describeFailure(std::make_exception_ptr(ETarvo(47))), "Error 47");
  EXPECT_EQ(describeFailure(std::make_exception_ptr(42)), "Unexpected error");
}

class GeneralErrorHandler : public TWindowTest {};

TEST_F(GeneralErrorHandler, FailedMenuChoiceShowsTheErrorBoxAndTheProgramGoesOn) {
  QTemporaryDir folder;
  writeUpdateFile(folder.filePath("broken.upd"), TUpdateFileHeader{.platform = "fifteen"});
  openWindow({"f:+"}, true);
  // A header that does not read, then a folder in place of a file.
  dialogs.files = {folder.filePath("broken.upd"), folder.path()};
  frmMain->menInfoFile->trigger();
  frmMain->menInfoFile->trigger();
  ASSERT_EQ(dialogs.errors.size(), 2);
  for (const QString& error : dialogs.errors) EXPECT_FALSE(error.isEmpty());
  EXPECT_TRUE(dialogs.overviews.empty());

  frmMain->menInfoFirmware->trigger();
  EXPECT_EQ(dialogs.overviews.size(), 1u);
}

TEST_F(GeneralErrorHandler, WorkerThatCannotBeCreatedLeavesTheWindowIdle) {
  openWindow({}, true);
  frmMain->session().CommThreadClass = [](INotificationSink&, TUpdateRequest) -> TCommThreadPtr {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread");
  };
  frmMain->cbxPort->setEditText("/dev/ttyUSB0");  // a job starts only with a port
  frmMain->btnProg->click();
  ASSERT_EQ(dialogs.errors.size(), 1);
  EXPECT_TRUE(dialogs.errors[0].startsWith("thread")) << dialogs.errors[0].toStdString();
  EXPECT_TRUE(looksIdle());
  EXPECT_FALSE(frmMain->isJobRunning());
}

TEST(DialogBoxes, ConfirmationIsAnEnglishYesNoQuestion) {
  const auto box = makeConfirmBox(nullptr, "This update clears all measurements!\r\nDo you really continue ?");
  EXPECT_EQ(box->windowTitle(), "Confirm");
  EXPECT_EQ(box->icon(), QMessageBox::Question);
  EXPECT_EQ(box->text(), "This update clears all measurements!\nDo you really continue ?");
  ASSERT_NE(box->button(QMessageBox::Yes), nullptr);
  ASSERT_NE(box->button(QMessageBox::No), nullptr);
  EXPECT_EQ(box->button(QMessageBox::Yes)->text(), "Yes");
  EXPECT_EQ(box->button(QMessageBox::No)->text(), "No");
  EXPECT_EQ(box->buttons().size(), 2);
}

}  // namespace
}  // namespace kelvry::test
