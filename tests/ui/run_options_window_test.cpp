// What the run options change in the main window, and its start-up state.

#include <QAbstractButton>
#include <QDir>
#include <QMenuBar>
#include <QSettings>

#include "tests/ui/window_fixture.h"

namespace kelvry::test {
namespace {

struct TOptionsCase {
  const char* name;
  bool bInternal;
  QStringList options;
  int internalMode;
  bool bClearsMeasurementsAfter;
};

// Names the case in test listings.
void PrintTo(const TOptionsCase& c, std::ostream* os) { *os << c.name; }

class WindowOptions : public TWindowTest, public testing::WithParamInterface<TOptionsCase> {};

TEST_P(WindowOptions, LayOutTheWindowAtStartUp) {
  const TOptionsCase& c = GetParam();
  openWindow(c.options, c.bInternal);
  EXPECT_EQ(frmMain->runOptions().iInternalMode, c.internalMode);
  EXPECT_EQ(frmMain->runOptions().bClearsMeasurements, c.bClearsMeasurementsAfter);

  const bool bFiles = c.internalMode == 2;
  EXPECT_EQ(!frmMain->btnFile->isHidden(), bFiles);
  EXPECT_EQ(frmMain->menInfoFile->isVisible(), bFiles);
  EXPECT_EQ(frmMain->btnProg->geometry(), bFiles ? QRect(40, 86, 55, 32) : QRect(40, 86, 111, 32));
  if (bFiles) {
    EXPECT_EQ(frmMain->btnFile->geometry(), QRect(103, 86, 55, 32));
  }
  EXPECT_EQ(!frmMain->chkReadInfoOnly->isHidden(), c.bInternal);
  EXPECT_FALSE(frmMain->chkReadInfoOnly->isChecked());
  EXPECT_EQ(frmMain->statusText(), c.bClearsMeasurementsAfter ? "F" : "");
  EXPECT_EQ(frmMain->StatusBar1->toolTip(), frmMain->statusText());
}

INSTANTIATE_TEST_SUITE_P(
    Modes, WindowOptions,
    testing::Values(TOptionsCase{"Normal", false, {}, 0, false},
                    TOptionsCase{"NormalIgnoresInternalOptions", false, {"f:+", "cc:-"}, 0, false},
                    TOptionsCase{"NormalClearsMeasurements", false, {"mf:+"}, 0, true},
                    TOptionsCase{"FirstMfCounts", false, {"mf:-", "mf:+"}, 0, false},
                    TOptionsCase{"Internal", true, {}, 1, false},
                    TOptionsCase{"InternalFilesOff", true, {"f:yes"}, 1, false},
                    TOptionsCase{"InternalWithFiles", true, {"F:+"}, 2, false},
                    TOptionsCase{"InternalWithFilesClearsMeasurements", true, {"f:+", "mf:+"}, 2, true}),
    [](const testing::TestParamInfo<TOptionsCase>& param) { return std::string(param.param.name); });

class StartUp : public TWindowTest {};

TEST_F(StartUp, CaptionsSizeAndIdleState) {
  openWindow();
  frmMain->show();
  EXPECT_EQ(frmMain->windowTitle(), "Kelvry Firmware Update");
  EXPECT_EQ(shownCaption(frmMain->menInfo->title()), "Info 2024-04-04");
  EXPECT_EQ(shownCaption(frmMain->menInfoFirmware->text()), "Firmware");
  EXPECT_EQ(shownCaption(frmMain->menFileExit->text()), "Exit");
  EXPECT_FALSE(frmMain->menTest->menuAction()->isVisible());
  EXPECT_EQ(frmMain->width(), 355);
  EXPECT_EQ(frmMain->Panel1->height(), 161);
  EXPECT_EQ(frmMain->height(), frmMain->menuBar()->height() + 161 + frmMain->StatusBar1->height());
  EXPECT_EQ(frmMain->minimumSize(), frmMain->maximumSize()) << "a fixed border";
  EXPECT_FALSE(frmMain->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(looksIdle());
  EXPECT_EQ(frmMain->ProgressBar1->value(), 0);
  EXPECT_FALSE(frmMain->isJobRunning());
}

TEST_F(StartUp, ControlsCarryTheirTextsAndPlaces) {
  openWindow({"f:+"}, true);
  struct TButton {
    QAbstractButton* button;
    QString text;
    QRect place;
  };
  const QRect closePlace(200, 86, 111, 32);
  for (const TButton& b : {TButton{frmMain->btnProg, "Update", QRect(40, 86, 55, 32)},
                           TButton{frmMain->btnFile, "File", QRect(103, 86, 55, 32)},
                           TButton{frmMain->btnClose, "Close", closePlace},
                           TButton{frmMain->btnCancel, "Cancel", closePlace}}) {
    EXPECT_EQ(shownCaption(b.button->text()), b.text);
    EXPECT_EQ(b.button->geometry(), b.place) << b.text.toStdString();
  }
  EXPECT_EQ(shownCaption(frmMain->chkReadInfoOnly->text()), "Read info only");
  EXPECT_EQ(frmMain->chkReadInfoOnly->pos(), QPoint(26, 134));
  EXPECT_EQ(shownCaption(frmMain->Label1->text()), "Comport:");
  EXPECT_EQ(frmMain->Label1->pos(), QPoint(13, 14));
  EXPECT_EQ(frmMain->cbxPort->pos(), QPoint(77, 11));
  EXPECT_EQ(frmMain->cbxPort->width(), 263);
  EXPECT_EQ(frmMain->ProgressBar1->geometry(), QRect(13, 46, 327, 26));
  EXPECT_EQ(frmMain->ProgressBar1->maximum(), 100);
  EXPECT_FALSE(frmMain->ProgressBar1->isTextVisible()) << "the percentage belongs in the title";
  EXPECT_EQ(shownCaption(frmMain->menInfoFile->text()), "File version");
  EXPECT_EQ(shownCaption(frmMain->menTest->title()), "Test");
}

TEST_F(StartUp, TestMenuTakesItsCaptionWhenOneIsSet) {
  testCaption = "Link test";
  openWindow();
  EXPECT_TRUE(frmMain->menTest->menuAction()->isVisible());
  EXPECT_EQ(frmMain->menTest1->text(), "Link test");
}

TEST_F(StartUp, ReportWindowShowsAtTheFirstIdleMomentOnlyInInternalMode) {
  for (const bool bInternal : {false, true}) {
    openWindow({}, bInternal);
    frmMain->show();
    EXPECT_TRUE(frmMain->frmProtocol()->isHidden()) << "not before the event loop is idle";
    runEventLoopFor(std::chrono::milliseconds(50));
    EXPECT_EQ(frmMain->frmProtocol()->isVisible(), bInternal);

    // Only the first idle moment decides.
    frmMain->frmProtocol()->setVisible(!bInternal);
    runEventLoopFor(std::chrono::milliseconds(50));
    EXPECT_EQ(frmMain->frmProtocol()->isVisible(), !bInternal);
  }
}

TEST_F(StartUp, ReadsTheInternalSwitchFromTheUsersSettings) {
  // The test program keeps its own settings folder (XDG_CONFIG_HOME).
  const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Dralmor";
  ASSERT_TRUE(QDir().mkpath(folder));
  QFile conf(folder + "/Tarvo.conf");
  ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
  conf.write("[General]\nintern=7319\n");
  conf.close();

  TMainWindowSetup setup = TMainWindowSetup::fromProgram();
  setup.arguments = QStringList{"kelvry-update", "f:+"};
  setup.portRoots = ports.roots();
  frmMain = std::make_unique<TfrmMain>(std::move(setup));
  QFile::remove(conf.fileName());

  EXPECT_EQ(frmMain->runOptions().iInternalMode, 2);
  EXPECT_FALSE(frmMain->btnFile->isHidden());
}

}  // namespace
}  // namespace kelvry::test
