#pragma once

#include <string>

// A port name as the user typed or pasted it: the whitespace a paste brings
// along, or a space typed after the name, is no part of any port name, yet
// taken as it is it turns "/dev/pts/2" into a bare name that is looked up in
// /dev and never found. Both front ends read their port through this.

namespace kelvry {

// `sTyped` without the spaces, tabs and line breaks around it.
std::string typedPortName(const std::string& sTyped);

}  // namespace kelvry
