#pragma once

#include <memory>
#include <string>

#include "engine/update_request.h"
#include "tools/logger_sim/virtual_logger.h"

// The virtual logger that --simulate updates. On Linux it sits behind a
// pseudo-terminal, so the update goes through the real serial port code. On
// Windows, which has no pseudo-terminals, it runs in memory on the real
// clock. On both it answers at once, as the pseudo-terminal's logger does, so
// a simulated update takes the job's fixed pauses (about 5 s) rather than
// the 11 minutes of a real line at 9600 baud.

namespace kelvry {

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

// A virtual logger that holds the update file, when there is one, among its
// images, so that --simulate can update it with that file too.
std::unique_ptr<TSimulatedLogger> simulatedLoggerFor(const TFirmwareSources& sources);

}  // namespace kelvry
