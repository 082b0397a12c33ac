#pragma once

#include <memory>

#include "engine/comm_link.h"
#include "engine/tarvo_exception.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry::test {

// A logger link straight to a virtual logger in memory, in virtual time:
// the link's own behaviour, without a worker thread or a serial port.
struct TMemoryLink {
  explicit TMemoryLink(sim::TLoggerConfig config = {}) : logger(std::move(config)) {
    port->open("memory", 9600);
  }

  sim::TMemoryLogger logger;
  sim::TVirtualClock clock;
  TCancelToken cancel;
  std::unique_ptr<ISerialTransport> port = logger.connect(clock, cancel);
  TCommLink link{*port, clock, cancel};
};

// The error code `step` raises, 0 when it returns.
template <class Step>
int32_t errorOf(Step step) {
  try {
    step();
  } catch (const ETarvo& e) {
    return e.iException;
  }
  return 0;
}

}  // namespace kelvry::test
