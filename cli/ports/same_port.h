#pragma once

#include <string>

// One port, one job: the same device can be named in more than one way (a
// symbolic link such as /dev/serial/by-id/..., "/dev/./pts/3", a second
// device node), and two jobs on it would fight over it, the second failing
// with "another program holds it" although the logger is being updated.

namespace kelvry::cli {

// Whether the two port paths lead to the same device. False when either
// cannot be looked at: the job then tells why it cannot open it.
bool isSameDevice(const std::string& first, const std::string& second);

}  // namespace kelvry::cli
