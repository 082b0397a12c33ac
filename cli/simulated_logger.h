#pragma once

#include <memory>
#include <string>

#include "engine/update_request.h"
#include "tools/logger_sim/virtual_logger.h"

// The virtual logger that --simulate updates. On Linux it sits behind a
// pseudo-terminal, so the update goes through the real serial port code. On
// Windows, which has no pseudo-terminals, it runs in memory and its replies
// arrive at the wire speed of 9600 baud on the real clock, so an update takes
// as long as on a real line.

namespace kelvry::cli {

class TSimulatedLogger {
public:
  explicit TSimulatedLogger(sim::TLoggerConfig config);
  ~TSimulatedLogger();
  TSimulatedLogger(const TSimulatedLogger&) = delete;
  TSimulatedLogger& operator=(const TSimulatedLogger&) = delete;

  // The port name the update and its report use.
  std::string portName() const;
  // Where the update's jobs find this logger.
  TJobEnvironment environment();

private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

}  // namespace kelvry::cli
