#pragma once

#include <string>

#include "serial/port_list.h"

// "--port auto": the single USB serial port present, for a bench with one
// logger plugged in. With none or several there is no safe guess, and the
// command refuses with the ports it sees.

namespace kelvry::cli {

inline constexpr const char* kAutoPort = "auto";

struct TPortChoice {
  std::string port;   // the port to use; empty when refused
  std::string error;  // why not, with the table of the ports present; empty when chosen
};

// Any other name than "auto" is taken as it is.
TPortChoice choosePort(const std::string& requested, const TPortListRoots& roots = {});

}  // namespace kelvry::cli
