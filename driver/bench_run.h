#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "driver/port_filter.h"
#include "driver/port_run.h"
#include "driver/port_source.h"
#include "driver/run_output.h"
#include "engine/update_request.h"
#include "serial/usb_port_identity.h"
#include "waits/cancel_token.h"

// Bench mode: loggers are plugged in and out while the run goes on, and
// every one that shows up is updated once. Each port that is present at the
// start or appears later gets a job (through runPort, on its own thread)
// once it has stayed for the settle time, so that a port that flickers is
// not opened twice. When the job ends the port waits to be unplugged: it is
// not taken again until it has disappeared and come back, so a logger left
// plugged in is never updated twice (a port whose USB identity changed
// between two looks holds another logger). A port pulled during its job needs
// nothing from here: the job reads the hang-up and ends with that failure.
//
// The port list is polled: on Linux a poll of sysfs every quarter second
// costs next to nothing, needs no udev connection, and is far shorter than
// the settle time anyway.

namespace kelvry {

struct TBenchSettings {
  TJobViewSettings job;  // what every logger gets; port and port text are set per port
  std::vector<TPortFilter> filters;  // none: every port the source gives
  // End once this many loggers have finished (no more are taken); none:
  // run until cancelled.
  std::optional<int> expect;
  std::chrono::milliseconds pollEvery{250};
  std::chrono::milliseconds settle{1000};
  // Where a port's jobs find their logger; unset: the platform's serial port.
  std::function<TJobEnvironment(const std::string& port)> environmentFor;
};

// One logger's job, from plug-in to its result.
struct TBenchLogger {
  TUsbPortIdentity identity;
  TPortOutcome outcome;
  std::chrono::system_clock::time_point started{};
  std::chrono::system_clock::time_point ended{};
};

struct TBenchResult {
  int exitStatus = 0;
  std::vector<TBenchLogger> loggers;  // in the order their jobs started
};

// Whether two looks at a port saw the same logger: a logger swapped between
// them leaves the port name in place but brings its own USB identity.
bool sameDevice(const TUsbPortIdentity& a, const TUsbPortIdentity& b);

// The exit status of a bench: 0 (70 reading info only) when every logger
// taken succeeded and, with `expect`, that many finished; the cancelled
// status when it was stopped before any logger finished; else
// kExitSomeFailed.
int benchExitStatus(const std::vector<TBenchLogger>& loggers, std::optional<int> expect, bool readInfoOnly);

// Runs until `cancel` is set (a signal: no new ports are taken, the running
// jobs are cancelled and waited for) or `settings.expect` loggers have
// finished. Each logger is told to `output` under its own index, first with
// portAdded; the counts go with benchCounts whenever they change, and the
// summary of every logger comes at the end.
TBenchResult runBench(const TBenchSettings& settings, IPortSource& ports, const std::shared_ptr<TCancelToken>& cancel,
                      IRunOutput& output);

}  // namespace kelvry
