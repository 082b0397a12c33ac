#include "driver/simulated_bench.h"

namespace kelvry {

TSimulatedBench::TSimulatedBench(int loggers, const TFirmwareSources& sources, std::chrono::milliseconds plugEvery)
    : plugEvery_(plugEvery) {
  for (int i = 0; i < loggers; ++i) loggers_.push_back(simulatedLoggerFor(sources));
}

std::vector<TUsbPortIdentity> TSimulatedBench::present() {
  const auto since = std::chrono::steady_clock::now() - start_;
  const std::lock_guard lock(mutex_);
  std::vector<TUsbPortIdentity> ports;
  for (size_t i = 0; i < loggers_.size(); ++i) {
    if (since < plugEvery_ * static_cast<int>(i)) break;  // not plugged in yet
    TUsbPortIdentity identity;
    identity.port = loggers_[i]->portName();
    identity.product = "virtual logger";
    if (!unplugged_.contains(identity.port)) ports.push_back(std::move(identity));
  }
  return ports;
}

void TSimulatedBench::jobEnded(const std::string& port) {
  const std::lock_guard lock(mutex_);
  unplugged_.insert(port);
}

TJobEnvironment TSimulatedBench::environmentFor(const std::string& port) {
  const std::lock_guard lock(mutex_);
  for (const auto& logger : loggers_)
    if (logger->portName() == port) return logger->environment();
  return {};
}

}  // namespace kelvry
