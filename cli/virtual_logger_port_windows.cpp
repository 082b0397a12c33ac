#include <stdexcept>

#include "cli/virtual_logger_port.h"

namespace kelvry::cli {

// Windows has no pseudo-terminal that looks like a COM port; a virtual
// logger there needs a null-modem driver pair, which the tool does not
// install.
std::unique_ptr<TVirtualLoggerPort> startVirtualLogger(sim::TLoggerConfig) {
  throw std::runtime_error("virtual loggers need a pseudo-terminal, which this system does not have");
}

}  // namespace kelvry::cli
