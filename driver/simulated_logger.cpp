#include "driver/simulated_logger.h"

namespace kelvry {

std::unique_ptr<TSimulatedLogger> simulatedLoggerFor(const TFirmwareSources& sources) {
  sim::TLoggerConfig config;
  if (sources.hasFile()) config.extraImages.push_back(sources.file()->lines);
  return std::make_unique<TSimulatedLogger>(std::move(config));
}

}  // namespace kelvry
