// The USB identity of each port, read from a fake sysfs.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/usb_port_identity.h"
#include "tests/serial/fake_sysfs.h"

namespace kelvry {
namespace {

using namespace test;

using UsbPortIdentity = FakeSysfs;

const TUsbDeviceAttributes kFtdiAdapter{"0403", "6001", "FTDI", "FT232R USB UART", "A10K3XQZ"};
const TUsbDeviceAttributes kAcmModem{"2341", "0043", "Arduino (www.arduino.cc)", "Uno", ""};

TEST_F(UsbPortIdentity, ReadsTheUsbDeviceAboveEachKindOfPort) {
  addTty("ttyUSB0", kUsbSerialAdapter);
  setUsbDevice(kUsbSerialAdapterDevice, kFtdiAdapter);
  setAttribute(kUsbSerialAdapter, "latency_timer", "16");
  addTty("ttyACM0", kUsbModem);
  setUsbDevice(kUsbModemDevice, kAcmModem);

  const std::vector<TUsbPortIdentity> identities = listUsbPortIdentities(roots);
  ASSERT_EQ(identities.size(), 2u);

  const TUsbPortIdentity& modem = identities[0];
  EXPECT_EQ(modem.port, devicePath("ttyACM0"));
  EXPECT_EQ(modem.vendorId, "2341");
  EXPECT_EQ(modem.productId, "0043");
  EXPECT_EQ(modem.manufacturer, "Arduino (www.arduino.cc)");
  EXPECT_EQ(modem.product, "Uno");
  EXPECT_EQ(modem.serialNumber, "");
  EXPECT_EQ(modem.latencyTimerMs, std::nullopt);

  const TUsbPortIdentity& adapter = identities[1];
  EXPECT_EQ(adapter.port, devicePath("ttyUSB0"));
  EXPECT_EQ(adapter.vendorId, "0403");
  EXPECT_EQ(adapter.productId, "6001");
  EXPECT_EQ(adapter.manufacturer, "FTDI");
  EXPECT_EQ(adapter.product, "FT232R USB UART");
  EXPECT_EQ(adapter.serialNumber, "A10K3XQZ");
  EXPECT_EQ(adapter.latencyTimerMs, 16);
}

// A device's strings reach terminals, report files and tooltips: one that
// carries an escape sequence must show it, not carry it out.
TEST_F(UsbPortIdentity, DeviceStringsAreShownNotCarriedOut) {
  addTty("ttyUSB0", kUsbSerialAdapter);
  setUsbDevice(kUsbSerialAdapterDevice,
               {"0403", "6001", "\x1b]0;pwned\x07" "FTDI", "FT232R\x1b[2J UART", "A1\x9b" "2"});
  const std::vector<TUsbPortIdentity> identities = listUsbPortIdentities(roots);
  ASSERT_EQ(identities.size(), 1u);
  EXPECT_EQ(identities[0].manufacturer, "\\x1b]0;pwned\\x07FTDI");
  EXPECT_EQ(identities[0].product, "FT232R\\x1b[2J UART");
  EXPECT_EQ(identities[0].serialNumber, "A1\\x9b2");
}

TEST_F(UsbPortIdentity, KnowsOnlyThePortWhenSysfsTellsNothing) {
  addTty("ttyUSB0", kUsbSerialAdapter);  // no USB attributes at all
  setAttribute(kUsbSerialAdapter, "latency_timer", "soon");
  const TUsbPortIdentity identity = readUsbPortIdentity(devicePath("ttyUSB0"), roots);
  EXPECT_EQ(identity.port, devicePath("ttyUSB0"));
  EXPECT_EQ(identity.vendorId, "");
  EXPECT_EQ(identity.product, "");
  EXPECT_EQ(identity.latencyTimerMs, std::nullopt);

  const TUsbPortIdentity typedIn = readUsbPortIdentity("/dev/pts/3", roots);
  EXPECT_EQ(typedIn.port, "/dev/pts/3");
  EXPECT_EQ(usbIdentitySummary(typedIn), "");
}

TEST_F(UsbPortIdentity, NeverReadsAboveTheSysfsRoot) {
  // An idVendor file just outside the fake sysfs must not be taken for the
  // port's device.
  addTty("ttyUSB0", kUsbSerialAdapter);
  std::ofstream(base / "idVendor") << "dead\n";
  EXPECT_EQ(readUsbPortIdentity(devicePath("ttyUSB0"), roots).vendorId, "");
}

TEST(UsbIdentitySummary, NamesWhatIsKnown) {
  const struct {
    TUsbPortIdentity identity;
    const char* summary;
  } cases[] = {
      {{"/dev/ttyUSB0", "0403", "6001", "FTDI", "FT232R USB UART", "A10K3XQZ", 16},
       "0403:6001 FTDI FT232R USB UART, serial A10K3XQZ"},
      {{"/dev/ttyACM0", "2341", "0043", "", "Uno", "", std::nullopt}, "2341:0043 Uno"},
      {{"/dev/ttyACM1", "", "", "", "", "X1", std::nullopt}, "serial X1"},
      {{"/dev/ttyUSB1", "", "", "", "", "", 16}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(usbIdentitySummary(c.identity), c.summary);
}

}  // namespace
}  // namespace kelvry
