#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "waits/cancel_token.h"
#include "waits/clock.h"
#include "serial/transport.h"
#include "tools/logger_sim/virtual_logger.h"

namespace kelvry::sim {

// A virtual logger at the far end of a serial line held in memory: the
// engine's transport hands its bytes straight to the logger's state machine
// and reads the replies back, with no pseudo-terminal and no thread. Replies
// arrive at once, or at the wire speed of `faults.baud` measured on the
// job's clock; a virtual clock makes every time-out pass in no time.
//
// Like a real port it takes one opener at a time. Safe to inspect from
// another thread while a job runs.
class TMemoryLogger {
public:
  explicit TMemoryLogger(TLoggerConfig config = {});

  // A transport to this logger for one job, waiting on `clock`.
  std::unique_ptr<ISerialTransport> connect(IClock& clock, const TCancelToken& cancel);

  TLoggerStats stats() const;
  std::vector<std::string> flashLines() const;
  bool isOpen() const;

private:
  friend class TMemoryTransport;
  using time_point = IClock::time_point;
  struct TPendingByte {
    time_point arrival;
    uint8_t value;
  };

  mutable std::mutex mutex_;
  TVirtualLogger logger_;
  const int baud_;
  std::deque<TPendingByte> pending_;  // reply bytes on their way to the host
  bool open_ = false;
  bool hungUp_ = false;
};

}  // namespace kelvry::sim
