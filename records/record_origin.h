#pragma once

#include <string>

// The facts of a record that no job tells: its own id, the bench it was
// made on and the person running it.

namespace kelvry {

// A random (version 4) UUID in its usual text form, lower case.
std::string newRecordId();

// The machine's host name.
std::string stationName();

// The user the program runs as.
std::string operatingUserName();

}  // namespace kelvry
