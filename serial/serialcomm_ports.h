#pragma once

#include <string>
#include <vector>

// Windows keeps the serial ports present in the registry's serial-port map:
// one value per port, named by the kernel device ("\Device\VCP0") and holding
// the port name ("COM7"). Which of them are USB virtual COM ports is decided
// here, apart from the registry, so that it is the same everywhere it is
// tested.

namespace kelvry {

struct TSerialCommValue {
  std::string deviceName;  // the value's name, e.g. "\Device\VCP0"
  std::string portName;    // the value's data, e.g. "COM7"
};

// The port names of the USB virtual COM ports among `values`, in their
// order, neither sorted nor de-duplicated. The logger's FTDI driver names its
// devices "\Device\VCP<n>"; Windows' own CDC-ACM driver, which today's
// adapters often use, names them "\Device\USBSER<nnn>". Both are matched at
// the start of the name, in any letter case; built-in ports
// ("\Device\Serial0") and everything else are left out.
std::vector<std::string> usbVirtualComPorts(const std::vector<TSerialCommValue>& values);

}  // namespace kelvry
