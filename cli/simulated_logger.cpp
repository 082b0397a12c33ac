#include "cli/simulated_logger.h"

namespace kelvry::cli {

std::unique_ptr<TSimulatedLogger> simulatedLoggerFor(const TFirmwareSources& sources) {
  sim::TLoggerConfig config;
  if (sources.hasFile()) config.extraImages.push_back(sources.file()->lines);
  return std::make_unique<TSimulatedLogger>(std::move(config));
}

}  // namespace kelvry::cli
