#pragma once

#include <memory>
#include <string>

#include "tools/logger_sim/virtual_logger.h"

// A virtual logger on a serial port of its own, for updates without
// hardware. Where it comes from is the platform's business: a
// pseudo-terminal on POSIX systems.

namespace kelvry::cli {

class TVirtualLoggerPort {
public:
  virtual ~TVirtualLoggerPort() = default;
  // The port to update it through.
  virtual const std::string& portPath() const = 0;
};

// Starts a virtual logger; it runs until the object is destroyed. Throws
// std::runtime_error (std::system_error included) when none can be had.
std::unique_ptr<TVirtualLoggerPort> startVirtualLogger(sim::TLoggerConfig config);

}  // namespace kelvry::cli
