#include "cli/ports/latency_advice.h"

namespace kelvry::cli {

std::string latencyAdvice(const std::vector<TUsbPortIdentity>& ports, std::string_view howTo) {
  if (howTo.empty()) return {};
  std::string slowPorts;
  for (const TUsbPortIdentity& port : ports) {
    if (!port.latencyTimerMs || *port.latencyTimerMs <= kQuickLatencyTimerMs) continue;
    if (!slowPorts.empty()) slowPorts += ", ";
    slowPorts += port.port;
  }
  if (slowPorts.empty()) return {};
  return "Latency timer above " + std::to_string(kQuickLatencyTimerMs) + " ms on " + slowPorts +
         ": it slows every exchange with the logger (16 ms adds about 36 s to an update); " + std::string(howTo) +
         "\n";
}

}  // namespace kelvry::cli
