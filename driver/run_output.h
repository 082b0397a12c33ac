#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "driver/bench_counts.h"
#include "driver/port_event.h"
#include "driver/port_record.h"

// What the driver of each port tells the outputs of a run: the report of a
// single update on the terminal, the live board of several, JSON lines,
// report files. Ports are told apart by their index in the run. Each output
// takes what concerns it; the rest is ignored by default.

namespace kelvry {

class IRunOutput {
public:
  virtual ~IRunOutput() = default;

  // Bench mode: a port that appeared during the run is port `port` from now
  // on (a logger plugged in again on the same port gets a new index).
  virtual void portAdded(size_t /*port*/, const std::string& /*name*/) {}
  // Bench mode: the counts changed.
  virtual void benchCounts(const TBenchCounts& /*counts*/) {}

  // A job of the port started (a repeat too) or the port's last job ended.
  virtual void jobRunning(size_t /*port*/, bool /*running*/) {}
  // The lines one notification (or a job start) produced.
  virtual void event(size_t /*port*/, const TPortEvent& /*event*/) {}
  virtual void progress(size_t /*port*/, int /*percent*/) {}
  virtual void status(size_t /*port*/, const std::string& /*text*/) {}
  // The logger as it answered first ("Kelvry Series V2.88").
  virtual void logger(size_t /*port*/, const std::string& /*text*/) {}
  virtual void beep(size_t /*port*/) {}
  // The port is done and released.
  virtual void finished(size_t /*port*/, const TPortRecord& /*record*/) {}
  // Every port is done.
  virtual void summary(const std::vector<TPortRecord>& /*records*/) {}
};

// What draws in place on the terminal (the progress line, the live board):
// it steps aside while a line is written and comes back after it.
class ILiveDisplay {
public:
  virtual ~ILiveDisplay() = default;
  virtual void stepAside() = 0;
  virtual void comeBack() = 0;
};

}  // namespace kelvry
