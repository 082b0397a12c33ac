#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "serial/usb_port_identity.h"

// USB serial adapters hold received bytes until their latency timer runs
// out (16 ms by default on FTDI chips), and an update makes about 2300
// exchanges that each wait for a reply: 16 ms adds about 36 s. Where the
// program cannot lower the timer itself, the port list says how.

namespace kelvry::cli {

// A timer up to this does not slow an update noticeably.
inline constexpr int kQuickLatencyTimerMs = 2;

// One line naming the ports whose latency timer is above 2 ms, with
// `howTo` (the platform's way to lower it); empty when no port is slow or
// `howTo` is empty.
std::string latencyAdvice(const std::vector<TUsbPortIdentity>& ports, std::string_view howTo);

// How a user lowers a port's latency timer on this platform; empty where
// the program lowers it itself for as long as the port is open (Linux).
std::string_view latencyTimerHowTo();

}  // namespace kelvry::cli
