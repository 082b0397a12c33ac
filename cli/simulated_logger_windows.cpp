#include "cli/simulated_logger.h"

#include "tools/logger_sim/memory_logger.h"

namespace kelvry::cli {

struct TSimulatedLogger::TImpl {
  explicit TImpl(sim::TLoggerConfig config) : logger(std::move(config)) {}
  sim::TMemoryLogger logger;
};

TSimulatedLogger::TSimulatedLogger(sim::TLoggerConfig config) : impl_(std::make_unique<TImpl>(std::move(config))) {}

TSimulatedLogger::~TSimulatedLogger() = default;

std::string TSimulatedLogger::portName() const { return "virtual logger"; }

TJobEnvironment TSimulatedLogger::environment() {
  return {.makeTransport = [this](const TCancelToken& cancel) { return impl_->logger.connect(steadyClock(), cancel); }};
}

}  // namespace kelvry::cli
