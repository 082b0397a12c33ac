#pragma once

#include <string>

namespace kelvry {

// The device a port name stands for, as messages name it. On Linux an
// absolute path is taken as it is and any other name is looked up in /dev
// ("ttyUSB0", "pts/3"); on Windows the COM name is what users know, and it
// stays as it is.
std::string portDevicePath(const std::string& sPort);

}  // namespace kelvry
