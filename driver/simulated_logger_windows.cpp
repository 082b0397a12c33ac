#include "driver/simulated_logger.h"

#include <atomic>
#include <string>

#include "tools/logger_sim/memory_logger.h"

namespace kelvry {

namespace {

// Several virtual loggers at once need names of their own: "virtual
// logger", "virtual logger 2", ...
std::string nextLoggerName() {
  static std::atomic<int> started{0};
  const int number = ++started;
  return number == 1 ? "virtual logger" : "virtual logger " + std::to_string(number);
}

}  // namespace

struct TSimulatedLogger::TImpl {
  explicit TImpl(sim::TLoggerConfig config) : logger(std::move(config)), name(nextLoggerName()) {}
  sim::TMemoryLogger logger;
  std::string name;
};

TSimulatedLogger::TSimulatedLogger(sim::TLoggerConfig config) : impl_(std::make_unique<TImpl>(std::move(config))) {}

TSimulatedLogger::~TSimulatedLogger() = default;

std::string TSimulatedLogger::portName() const { return impl_->name; }

TJobEnvironment TSimulatedLogger::environment() {
  return {.makeTransport = [this](const TCancelToken& cancel) { return impl_->logger.connect(steadyClock(), cancel); }};
}

}  // namespace kelvry
