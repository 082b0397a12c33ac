#pragma once

#include <string>

// Windows users write a COM port in several ways that all mean one port:
// "COM7", "com7", "COM7:" (as DOS wrote devices) and "\\.\COM7" (the device
// namespace, which COM10 and above need in the API). They are brought to one
// spelling here, so that opening a port and telling two ports apart agree.
// Plain logic without Windows headers, so that it is tested everywhere.

namespace kelvry {

// "COM7" for each of the spellings above, any letter case, with "\\?\" as
// well as "\\.\"; any other name (not a COM port, "COM0", "COM07", "COM7x")
// is returned as it is.
std::string canonicalComPortName(const std::string& name);

// "USB Serial Port" for Windows' friendly name "USB Serial Port (COM7)":
// the COM name is shown beside it already. Any other text stays as it is.
std::string withoutPortSuffix(const std::string& friendlyName);

// The number of a canonical COM name ("COM12" -> 12); 0 for any other name.
unsigned comPortNumber(const std::string& name);

}  // namespace kelvry
