#include "cli/commands.h"

#include <signal.h>
#include <unistd.h>

#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/auto_port.h"
#include "cli/cancel_signals.h"
#include "cli/confirmation.h"
#include "cli/exit_status.h"
#include "cli/firmware_table.h"
#include "cli/port_open_advice.h"
#include "cli/port_table.h"
#include "cli/progress_line.h"
#include "cli/update_run.h"
#include "engine/job_options.h"
#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "serial/port_list.h"
#include "serial/usb_port_identity.h"
#include "tools/logger_sim/pty_logger.h"
#include "ui/run_options.h"

namespace kelvry::cli {

namespace {

constexpr const char* kProgram = "kelvry-update-cli: ";

// Loads the update file as the only source, or says why it cannot be used.
// A file that does not load must never fall back to the built-in images.
bool prepareUpdateFile(const std::string& path, const TStreams& io) {
  selectedSource = -1;
  if (path.empty()) return true;
  std::string why;
  try {
    if (loadUpdateFile(path, &why)) return true;
  } catch (const std::exception& e) {
    why = e.what();
  }
  // The catalogue's reason usually names the file already.
  if (why.find(path) == std::string::npos) why = "\"" + path + "\": " + why;
  io.err << kProgram << "cannot use update file " << why << '\n';
  selectedSource = -1;
  return false;
}

// The window's question before an update. Returns an exit status when the
// update must not start.
std::optional<int> confirmUpdate(const TCliOptions& options, const TStreams& io) {
  // The virtual logger holds no measurements that could be lost.
  if (options.simulate || options.yes) return std::nullopt;
  const std::string question = confirmationQuestion(bClearsMeasurements, iInternalMode);
  if (question.empty()) return std::nullopt;
  if (!isatty(STDIN_FILENO)) {
    io.err << kProgram << "the update must be confirmed, but there is no terminal to ask on: add --yes\n";
    return kExitUsage;
  }
  if (askYesNo(question, io.in, io.err)) return std::nullopt;
  io.err << kProgram << "update not started\n";
  return err::Cancelled;
}

}  // namespace

int listPortsCommand(const TStreams& io) {
  const std::vector<TUsbPortIdentity> ports = listUsbPortIdentities();
  io.out << formatPortTable(ports);
  if (ports.empty()) io.err << kProgram << "no USB serial port found\n";
  io.out << std::flush;
  return kExitSuccess;
}

int listFirmwareCommand(const TCliOptions& options, const TStreams& io) {
  if (!prepareUpdateFile(options.updateFile, io)) return kExitUsage;
  io.out << formatTable(overviewColumns(), overviewRows()) << std::flush;
  return kExitSuccess;
}

int fileInfoCommand(const TCliOptions& options, const TStreams& io) {
  try {
    readFileHeaderInfo(options.fileInfoPath);
  } catch (const std::exception& e) {
    io.err << kProgram << e.what() << '\n';
    return kExitUnexpected;
  }
  io.out << formatTable(overviewColumns(), overviewRows()) << std::flush;
  return kExitSuccess;
}

int updateCommand(const TCliOptions& options, const TStreams& io) {
  const TPortChoice portChoice = choosePort(options.port);
  if (!portChoice.error.empty()) {
    io.err << kProgram << portChoice.error << '\n';
    return err::PortNotReady;
  }
  if (!prepareUpdateFile(options.updateFile, io)) return kExitUsage;
  bReadInfoOnly = options.infoOnly;
  if (const std::optional<int> refused = confirmUpdate(options, io)) return *refused;

  // A closed stdout (a pager quit early) must not kill the program halfway
  // through programming the logger.
  signal(SIGPIPE, SIG_IGN);
  // Before any other thread starts, so that all of them leave the signals
  // to the watcher.
  const TCancelOnSignals cancelSignals;

  std::optional<sim::TPtyLogger> simulated;
  if (options.simulate) {
    sim::TLoggerConfig config;
    if (selectedSource == 0) config.extraImages.push_back(fileLines);
    simulated.emplace(std::move(config));
  }
  const std::string port = simulated ? simulated->portPath() : portChoice.port;

  TProgressLine progress(io.err, isatty(STDERR_FILENO) != 0, terminalColumns(STDERR_FILENO));
  const TJobViewSettings settings{.portText = port, .trace = options.trace, .maxRepeats = options.maxRepeats};
  TPortOpenError portError;
  const int status = runUpdate(settings, cancelSignals.requested(), io.out, progress, &portError);
  if (status == err::PortNotReady) io.err << kProgram << portOpenAdvice(port, portError) << '\n';
  return status;
}

int runCommand(const TCliOptions& options, const TStreams& io) {
  switch (options.action) {
    case TAction::Help: io.out << helpText() << std::flush; return kExitSuccess;
    case TAction::Version: io.out << versionText() << std::endl; return kExitSuccess;
    case TAction::ListPorts: return listPortsCommand(io);
    case TAction::ListFirmware: return listFirmwareCommand(options, io);
    case TAction::FileInfo: return fileInfoCommand(options, io);
    case TAction::Update: return updateCommand(options, io);
    case TAction::None: break;
  }
  io.err << kProgram << "nothing to do (see --help)\n";
  return kExitUsage;
}

}  // namespace kelvry::cli
