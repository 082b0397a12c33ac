// The port box: filled with the USB serial ports at start-up and refreshed
// when one arrives or goes.

#include <QAbstractItemView>
#include <QLineEdit>

#include "tests/ui/window_fixture.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::test {
namespace {

class PortBox : public TWindowTest {
protected:
  QStringList items() const {
    QStringList names;
    for (int i = 0; i < frmMain->cbxPort->count(); ++i) names << frmMain->cbxPort->itemText(i);
    return names;
  }
  QString dev(const QString& name) const { return QString::fromStdString(ports.devicePath(name)); }
  bool droppedDown() const { return frmMain->cbxPort->view()->isVisible(); }
};

TEST_F(PortBox, ListsOnlyUsbPortsInAStableOrderAndSelectsTheFirst) {
  ports.addUsbPort("ttyUSB10");
  ports.addBuiltinPort("ttyS0");
  ports.addUsbPort("ttyUSB2");
  ports.addUsbPort("ttyACM0");
  openWindow();
  EXPECT_EQ(items(), (QStringList{dev("ttyACM0"), dev("ttyUSB2"), dev("ttyUSB10")}));
  EXPECT_EQ(frmMain->cbxPort->currentIndex(), 0);
  EXPECT_EQ(frmMain->cbxPort->currentText(), dev("ttyACM0"));
}

TEST_F(PortBox, EachPortShowsItsUsbIdentityAsTooltip) {
  ports.setUsbDevice("0403", "6001", "FTDI", "FT232R USB UART", "A10K3XQZ");
  ports.addUsbPort("ttyUSB0");
  openWindow();
  ASSERT_EQ(frmMain->cbxPort->count(), 1);
  EXPECT_EQ(frmMain->cbxPort->itemData(0, Qt::ToolTipRole).toString(),
            "0403:6001 FTDI FT232R USB UART, serial A10K3XQZ");

  ports.addUsbPort("ttyUSB1");  // the same device, as a second port of a dual adapter
  frmMain->WMDeviceChange();
  ASSERT_EQ(frmMain->cbxPort->count(), 2);
  EXPECT_EQ(frmMain->cbxPort->itemData(1, Qt::ToolTipRole).toString(),
            "0403:6001 FTDI FT232R USB UART, serial A10K3XQZ");
}

TEST_F(PortBox, WithoutPortsTheBoxIsEmptyButEditable) {
  ports.addBuiltinPort("ttyS0");
  openWindow();
  EXPECT_EQ(frmMain->cbxPort->count(), 0);
  EXPECT_TRUE(frmMain->cbxPort->currentText().isEmpty());
  EXPECT_TRUE(frmMain->cbxPort->isEditable());
}

TEST_F(PortBox, AnEmptyBoxSaysThatNoUsbSerialPortWasFound) {
  ports.addBuiltinPort("ttyS0");
  openWindow();
  QLineEdit& edit = *frmMain->cbxPort->lineEdit();
  EXPECT_EQ(edit.placeholderText(), "No USB serial port found");
  EXPECT_TRUE(frmMain->cbxPort->currentText().isEmpty()) << "the hint is no port name";

  ports.addUsbPort("ttyUSB0");
  frmMain->WMDeviceChange();
  EXPECT_TRUE(edit.placeholderText().isEmpty());

  ports.removePort("ttyUSB0");
  frmMain->WMDeviceChange();
  EXPECT_EQ(edit.placeholderText(), "No USB serial port found");
}

TEST_F(PortBox, ArrivalRefreshesTheListKeepsTheTextAndDropsItDown) {
  ports.addUsbPort("ttyUSB0");
  openWindow();
  frmMain->show();
  frmMain->cbxPort->setEditText("typed-by-user");

  ports.addUsbPort("ttyACM3");
  frmMain->WMDeviceChange();

  EXPECT_EQ(items(), (QStringList{dev("ttyACM3"), dev("ttyUSB0")}));
  EXPECT_EQ(frmMain->cbxPort->currentText(), "typed-by-user");
  EXPECT_TRUE(droppedDown());

  frmMain->cbxPort->hidePopup();
  ports.removePort("ttyUSB0");
  frmMain->WMDeviceChange();
  EXPECT_EQ(items(), QStringList{dev("ttyACM3")});
  EXPECT_TRUE(droppedDown());
}

TEST_F(PortBox, SameListIsNoDeviceChange) {
  ports.addUsbPort("ttyUSB0");
  openWindow();
  frmMain->show();
  ports.addBuiltinPort("ttyS1");
  frmMain->WMDeviceChange();
  EXPECT_FALSE(droppedDown());
  EXPECT_EQ(frmMain->cbxPort->currentText(), dev("ttyUSB0"));
}

TEST_F(PortBox, StaysClosedWhileAnotherProgramHasTheFocus) {
  openWindow();
  frmMain->show();
  applicationActive = false;
  ports.addUsbPort("ttyUSB0");
  frmMain->WMDeviceChange();
  EXPECT_EQ(items(), QStringList{dev("ttyUSB0")});
  EXPECT_FALSE(droppedDown());
}

TEST_F(PortBox, StaysClosedWhileAJobRuns) {
  sim::TPtyLogger logger;
  openWindow({}, true);
  frmMain->show();
  frmMain->cbxPort->setEditText(QString::fromStdString(logger.portPath()));
  frmMain->btnProg->click();
  ports.addUsbPort("ttyUSB0");
  frmMain->WMDeviceChange();
  EXPECT_EQ(items(), QStringList{dev("ttyUSB0")});
  EXPECT_FALSE(droppedDown());
  EXPECT_EQ(frmMain->cbxPort->currentText(), QString::fromStdString(logger.portPath()));
  frmMain->btnCancel->click();
  ASSERT_TRUE(waitForIdle());
}

TEST_F(PortBox, NoticesAPortThatArrivesByItself) {
  openWindow();
  frmMain->show();
  ports.addUsbPort("ttyUSB4");
  ASSERT_TRUE(waitUntil([&] { return items() == QStringList{dev("ttyUSB4")}; }, std::chrono::seconds(10)));
  ports.removePort("ttyUSB4");
  ASSERT_TRUE(waitUntil([&] { return items().isEmpty(); }, std::chrono::seconds(10)));
}

}  // namespace
}  // namespace kelvry::test
