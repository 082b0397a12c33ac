#pragma once

#include <string>
#include <vector>

namespace kelvry {

// Where the port list looks on Linux; tests point both at a fake tree.
// Windows reads the registry's serial-port map and ignores them.
struct TPortListRoots {
  std::string sysClassTty = "/sys/class/tty";
  std::string dev = "/dev";
};

// Replaces the list with the present USB virtual COM ports. On Linux: ttys
// whose device sits on a USB bus, as device paths, sorted by name. On
// Windows: the COM names of the USB virtual ports in the serial-port map
// (serial/serialcomm_ports.h), in the registry's order.
void listSerialPorts(std::vector<std::string>& list, const TPortListRoots& roots = {});

// True when two port lists differ, i.e. a port arrived or was removed.
bool isPortDeviceChange(const std::vector<std::string>& before, const std::vector<std::string>& after);

}  // namespace kelvry
