#include "cli/virtual_logger_port.h"

#include "tools/logger_sim/pty_logger.h"

namespace kelvry::cli {

namespace {

class TPseudoTerminalLogger final : public TVirtualLoggerPort {
public:
  explicit TPseudoTerminalLogger(sim::TLoggerConfig config) : logger_(std::move(config)) {}
  const std::string& portPath() const override { return logger_.portPath(); }

private:
  sim::TPtyLogger logger_;
};

}  // namespace

std::unique_ptr<TVirtualLoggerPort> startVirtualLogger(sim::TLoggerConfig config) {
  return std::make_unique<TPseudoTerminalLogger>(std::move(config));
}

}  // namespace kelvry::cli
