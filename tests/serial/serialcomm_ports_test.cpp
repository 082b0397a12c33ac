// Which values of Windows' serial-port map are USB virtual COM ports.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "serial/serialcomm_ports.h"

namespace kelvry {
namespace {

struct TCase {
  const char* what;
  std::vector<TSerialCommValue> values;
  std::vector<std::string> ports;
};

TEST(SerialCommPorts, KeepsUsbVirtualPortsInTheirOrder) {
  const TCase cases[] = {
      {"no ports", {}, {}},
      {"built-in port left out", {{"\\Device\\Serial0", "COM1"}, {"\\Device\\VCP0", "COM7"}}, {"COM7"}},
      {"any letter case", {{"\\DEVICE\\VCP3", "COM3"}, {"\\device\\vcp12", "COM12"}}, {"COM3", "COM12"}},
      {"CDC-ACM driver's ports", {{"\\Device\\USBSER000", "COM4"}, {"\\Device\\usbser001", "COM5"}}, {"COM4", "COM5"}},
      {"prefix only at the start", {{"\\Device\\Other\\Device\\VCP0", "COM8"}, {"x\\device\\vcp1", "COM9"}}, {}},
      {"registry order, duplicates kept",
       {{"\\Device\\VCP2", "COM9"}, {"\\Device\\Serial1", "COM2"}, {"\\Device\\VCP0", "COM3"}, {"\\Device\\VCP1", "COM9"}},
       {"COM9", "COM3", "COM9"}},
      {"a bare prefix without a number", {{"\\Device\\VCP", "COM6"}}, {"COM6"}},
  };
  for (const TCase& c : cases) EXPECT_EQ(usbVirtualComPorts(c.values), c.ports) << c.what;
}

}  // namespace
}  // namespace kelvry
