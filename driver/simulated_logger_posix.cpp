#include "driver/simulated_logger.h"

#include "frontend/platform_job_environment.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {

struct TSimulatedLogger::TImpl {
  explicit TImpl(sim::TLoggerConfig config) : logger(std::move(config)) {}
  sim::TPtyLogger logger;
};

TSimulatedLogger::TSimulatedLogger(sim::TLoggerConfig config) : impl_(std::make_unique<TImpl>(std::move(config))) {}

TSimulatedLogger::~TSimulatedLogger() = default;

std::string TSimulatedLogger::portName() const { return impl_->logger.portPath(); }

// The job opens the pseudo-terminal like any serial port.
TJobEnvironment TSimulatedLogger::environment() { return platformJobEnvironment(); }

}  // namespace kelvry
