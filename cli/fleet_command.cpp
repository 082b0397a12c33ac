#include "cli/fleet_command.h"

#include <exception>
#include <ostream>
#include <string>
#include <vector>

#include "cli/auto_port.h"
#include "cli/exit_status.h"
#include "cli/fleet_run.h"
#include "cli/simulated_logger.h"
#include "engine/status_codes.h"
#include "frontend/job_request.h"
#include "frontend/port_open_advice.h"
#include "frontend/run_options.h"
#include "serial/port_list.h"
#include "serial/usb_port_identity.h"

namespace kelvry::cli {

namespace {

constexpr const char* kProgram = "kelvry-update-cli: ";

std::vector<std::string> everyUsbPort() {
  std::vector<std::string> ports;
  for (const TUsbPortIdentity& identity : listUsbPortIdentities()) ports.push_back(identity.port);
  return ports;
}

std::vector<std::unique_ptr<TSimulatedLogger>> startVirtualLoggers(int count, const TFirmwareSources& sources) {
  std::vector<std::unique_ptr<TSimulatedLogger>> loggers;
  for (int i = 0; i < count; ++i) loggers.push_back(simulatedLoggerFor(sources));
  return loggers;
}

TFleetSettings fleetSettings(const TCliOptions& options, TFirmwareSources sources, std::vector<std::string> ports,
                             TTerminalFacts terminal) {
  TFleetSettings settings;
  settings.job.trace = options.trace;
  settings.job.maxRepeats = options.maxRepeats;
  // Each port puts its own name in.
  settings.job.request = jobRequest({}, TCmd::tCMD0, options.infoOnly, std::move(sources));
  settings.output.ports = std::move(ports);
  settings.output.json = options.json;
  settings.output.boardOnTerminal = terminal.stderrIsTerminal;
  settings.output.columns = terminal.columns;
  settings.output.logFolder = options.logDir;
  return settings;
}

}  // namespace

int fleetUpdateCommand(const TCliOptions& options, const TStreams& io, TFirmwareSources sources,
                       const std::shared_ptr<TCancelToken>& cancel,
                       TTerminalFacts terminal) {
  std::vector<std::unique_ptr<TSimulatedLogger>> simulated;
  std::vector<TJobEnvironment> environments;
  std::vector<std::string> ports = options.ports;
  if (options.simulate) {
    simulated = startVirtualLoggers(options.simulateCount, sources);
    ports.clear();
    for (const auto& logger : simulated) {
      ports.push_back(logger->portName());
      environments.push_back(logger->environment());
    }
  } else if (ports.size() == 1) {
    // A single port with records: "auto" means what it means for one update.
    const TPortChoice choice = choosePort(ports.front());
    if (!choice.error.empty()) {
      io.err << kProgram << choice.error << '\n';
      return err::PortNotReady;
    }
    ports.front() = choice.port;
  } else if (options.allPorts) {
    ports = everyUsbPort();
    if (ports.empty()) {
      io.err << kProgram << "--all-ports: no USB serial port found\n";
      return err::PortNotReady;
    }
  }

  TFleetResult result;
  try {
    TFleetSettings settings = fleetSettings(options, std::move(sources), ports, terminal);
    settings.environments = std::move(environments);
    result = runFleet(settings, cancel, io.out, io.err);
  } catch (const std::runtime_error& e) {
    // Only the report files are checked before the jobs start.
    io.err << kProgram << "--log-dir: " << e.what() << '\n';
    return kExitUsage;
  }
  for (size_t i = 0; i < result.records.size(); ++i)
    if (result.records[i].exitStatus == err::PortNotReady)
      io.err << kProgram << ports[i] << ": " << portOpenAdvice(ports[i], result.portFailures[i]) << '\n';
  return result.exitStatus;
}

}  // namespace kelvry::cli
