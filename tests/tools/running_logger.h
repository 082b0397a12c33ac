#pragma once

#include "tests/tools/slave_port.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::sim::test {

// A virtual logger on its pseudo-terminal with the host's end already open.
struct TRunningLogger {
  explicit TRunningLogger(TLoggerConfig config = {}) : logger(std::move(config)), port(logger.portPath()) {}

  TPtyLogger logger;
  TSlavePort port;
};

inline TLoggerConfig bootloaderConfig() {
  TLoggerConfig config;
  config.identity.startInBootloader = true;
  return config;
}

}  // namespace kelvry::sim::test
