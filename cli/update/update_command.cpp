#include "cli/update/update_command.h"

#include <exception>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/ports/auto_port.h"
#include "cli/update/update_run.h"
#include "driver/exit_status.h"
#include "driver/program_name.h"
#include "driver/simulated_logger.h"
#include "engine/status_codes.h"
#include "frontend/job_request.h"
#include "frontend/port_open_advice.h"
#include "serial/port_list.h"
#include "serial/usb_port_identity.h"

namespace kelvry::cli {

namespace {

std::vector<std::string> everyUsbPort() {
  std::vector<std::string> ports;
  for (const TUsbPortIdentity& identity : listUsbPortIdentities()) ports.push_back(identity.port);
  return ports;
}

TRunSettings runSettings(const TCliOptions& options, TFirmwareSources sources, std::vector<std::string> ports,
                         TTerminalFacts terminal) {
  TRunSettings settings;
  settings.job.trace = options.trace;
  settings.job.maxRepeats = options.maxRepeats;
  // Each port puts its own name in.
  settings.job.request = jobRequest({}, TCmd::tCMD0, options.infoOnly, std::move(sources), options.run.jobChecks());
  settings.output.ports = std::move(ports);
  settings.output.json = options.json;
  settings.output.stderrIsTerminal = terminal.stderrIsTerminal;
  settings.output.columns = terminal.columns;
  settings.output.logFolder = options.logDir;
  return settings;
}

}  // namespace

TPortsChoice choosePorts(const TCliOptions& options) {
  if (options.allPorts) {
    std::vector<std::string> ports = everyUsbPort();
    if (ports.empty()) return {{}, "--all-ports: no USB serial port found"};
    return {std::move(ports), {}};
  }
  // A single port: "auto" means the one USB serial port present.
  if (options.ports.size() == 1) {
    TPortChoice choice = choosePort(options.ports.front());
    if (!choice.error.empty()) return {{}, std::move(choice.error)};
    return {{std::move(choice.port)}, {}};
  }
  return {options.ports, {}};
}

int runUpdateOnPorts(const TCliOptions& options, const TStreams& io, std::vector<std::string> ports,
                     TFirmwareSources sources, const std::shared_ptr<TCancelToken>& cancel, TTerminalFacts terminal,
                     IRunOutput* records) {
  std::vector<std::unique_ptr<TSimulatedLogger>> simulated;
  std::vector<TJobEnvironment> environments;
  if (options.simulate) {
    ports.clear();
    for (int i = 0; i < options.simulateCount; ++i) {
      simulated.push_back(simulatedLoggerFor(sources));
      ports.push_back(simulated.back()->portName());
      environments.push_back(simulated.back()->environment());
    }
  }

  TRunResult result;
  try {
    TRunSettings settings = runSettings(options, std::move(sources), ports, terminal);
    settings.environments = std::move(environments);
    settings.output.records = records;
    result = runPorts(settings, cancel, io.out, io.err);
  } catch (const std::runtime_error& e) {
    // Only the report files are checked before the jobs start.
    io.err << kCliPrefix << "--log-dir: " << e.what() << '\n';
    return kExitUsage;
  }
  // With one port, its advice reads as it always has: without the port.
  for (size_t i = 0; i < ports.size(); ++i)
    if (result.ports[i].record.exitStatus == err::PortNotReady)
      io.err << kCliPrefix << (ports.size() > 1 ? ports[i] + ": " : std::string())
             << portOpenAdvice(ports[i], result.ports[i].portFailure) << '\n';
  return result.exitStatus;
}

}  // namespace kelvry::cli
