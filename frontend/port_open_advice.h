#pragma once

#include <string>

#include "frontend/port_open_problem.h"
#include "serial/transport.h"

// Why a serial port could not be opened, in words that say what to do. The
// job itself only reports "not ready"; both front ends add this line.

namespace kelvry {

// Where the user picks a port, so that the advice sends them to the right
// place: the window's port list or the command line's --list-ports.
enum class TPortChooser { CommandLine, Window };

std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error, TPortChooser chooser,
                           const std::string& userName = currentUserName());

// The command line's words.
std::string portOpenAdvice(const std::string& sPort, const TPortOpenError& error,
                           const std::string& userName = currentUserName());

}  // namespace kelvry
