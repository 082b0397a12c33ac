#pragma once

#include <string>

namespace kelvry {

// The device a port name stands for, as messages name it; two names stand
// for the same port when this gives the same for both. On Linux an absolute
// path is taken as it is and any other name is looked up in /dev ("ttyUSB0",
// "pts/3"), letter case and all; on Windows the COM name is what users know,
// in its one spelling ("com7", "COM7:" and "\\.\COM7" are "COM7",
// serial/com_port_name.h).
std::string portDevicePath(const std::string& sPort);

}  // namespace kelvry
