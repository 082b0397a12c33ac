#pragma once

// The few words of --help that differ between Windows and the rest: how a
// port is named, where the virtual logger lives, and what cancels.

namespace kelvry::cli::words {

extern const char* const kPortExample;      // "/dev/ttyUSB0"
extern const char* const kVirtualLogger;    // "a virtual logger on a pseudo-terminal"
extern const char* const kCancelRequests;   // "Ctrl-C, SIGTERM, SIGHUP, SIGQUIT"
extern const char* const kPortsParagraph;   // "Ports:\n ..." for the end of --help

}  // namespace kelvry::cli::words
