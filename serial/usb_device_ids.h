#pragma once

#include <string>
#include <string_view>
#include <vector>

// Windows names every device by an instance id, "<enumerator>\<device
// part>\<instance part>", and says what it is by hardware ids. A USB serial
// port's vendor id, product id and serial number are read from these texts;
// they take a few shapes:
//
//   USB\VID_2341&PID_0043\75330303035351E0E1A0    the serial number is the
//                                                 instance part (CDC-ACM, CP210x)
//   USB\VID_1A86&PID_7523\5&2A5B3E7D&0&2          no serial number: Windows made
//                                                 the instance part up (CH340)
//   USB\VID_0483&PID_5740&MI_00\6&1C2D3E4F&0&0000 one interface of a composite
//                                                 device: the serial number is
//                                                 on its parent, USB\VID_0483&PID_5740\<serial>
//   FTDIBUS\VID_0403+PID_6001+A600ATC3A\0000      FTDI's own driver: the serial
//                                                 number with the channel letter
//                                                 (A, B ...) added to it
//   USB\VID_0403&PID_6001&REV_0600                a hardware id
//   FTDIBUS\COMPORT&VID_0403&PID_6001             FTDI's hardware id
//
// Plain logic without Windows headers, so that it is tested everywhere.

namespace kelvry {

struct TUsbDeviceIds {
  std::string vendorId;      // four lower-case hex digits as Linux shows them ("0403"); empty when unknown
  std::string productId;
  std::string serialNumber;  // empty when the device has none
};

// The vendor and product id in a hardware id or instance id; empty ids when
// the text has none.
TUsbDeviceIds usbIdsInText(std::string_view id);

// The ids of a port from its device's instance id followed by the instance
// ids of its ancestors, nearest first. The walk up goes through composite
// interfaces (&MI_xx) and FTDI's bus to the USB device and stops there, so
// that a hub above an adapter without a serial number does not lend it its
// own. All empty when the device is not on USB.
TUsbDeviceIds usbIdsOfDeviceChain(const std::vector<std::string>& instanceIds);

}  // namespace kelvry
