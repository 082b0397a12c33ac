#include "cli/commands.h"

#include <exception>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ports/auto_port.h"
#include "cli/bench/bench_command.h"
#include "cli/console/cancel_signals.h"
#include "cli/console/confirmation.h"
#include "cli/console/console.h"
#include "cli/outputs/text_table.h"
#include "cli/records/history_command.h"
#include "cli/records/records_session.h"
#include "cli/ports/port_table.h"
#include "cli/update/update_command.h"
#include "driver/exit_status.h"
#include "driver/program_name.h"
#include "engine/status_codes.h"
#include "firmware/firmware_sources.h"
#include "firmware/update_file.h"
#include "frontend/firmware_overview.h"
#include "frontend/run_options.h"
#include "frontend/update_question.h"
#include "serial/port_list.h"
#include "serial/usb_port_identity.h"

namespace kelvry::cli {

namespace {

// Loads the update file as the only source, or says why it cannot be used.
// A file that does not load must never fall back to the built-in images.
std::optional<TFirmwareSources> prepareUpdateFile(const std::string& path, const TStreams& io) {
  if (path.empty()) return TFirmwareSources{};
  std::string why;
  try {
    if (std::optional<TUpdateFile> file = loadUpdateFile(path, &why))
      return TFirmwareSources(std::make_shared<const TUpdateFile>(std::move(*file)));
  } catch (const std::exception& e) {
    why = e.what();
  }
  // The catalogue's reason usually names the file already.
  if (why.find(path) == std::string::npos) why = "\"" + path + "\": " + why;
  io.err << kCliPrefix << "cannot use update file " << why << '\n';
  return std::nullopt;
}

std::string overviewTable(const TFirmwareSources& sources) {
  return formatTable(overviewColumns(), overviewRows(sources, sources.hasFile() ? 0 : -1));
}

// The window's question before an update. Returns an exit status when the
// update must not start.
std::optional<int> confirmUpdate(const TCliOptions& options, const TStreams& io) {
  // The virtual logger holds no measurements that could be lost.
  if (options.simulate || options.yes) return std::nullopt;
  const std::string question = confirmationQuestion(options.run.bClearsMeasurements, options.run.iInternalMode);
  if (question.empty()) return std::nullopt;
  if (!stdinIsTerminal()) {
    io.err << kCliPrefix << "the update must be confirmed, but there is no terminal to ask on: add --yes\n";
    return kExitUsage;
  }
  if (askYesNo(question, io.in, io.err)) return std::nullopt;
  io.err << kCliPrefix << "update not started\n";
  return err::Cancelled;
}

}  // namespace

int listPortsCommand(const TStreams& io) {
  const std::vector<TUsbPortIdentity> ports = listUsbPortIdentities();
  io.out << formatPortTable(ports);
  if (ports.empty()) io.err << kCliPrefix << "no USB serial port found\n";
  io.out << std::flush;
  return kExitSuccess;
}

int listFirmwareCommand(const TCliOptions& options, const TStreams& io) {
  const std::optional<TFirmwareSources> sources = prepareUpdateFile(options.updateFile, io);
  if (!sources) return kExitUsage;
  io.out << overviewTable(*sources) << std::flush;
  return kExitSuccess;
}

int fileInfoCommand(const TCliOptions& options, const TStreams& io) {
  auto file = std::make_shared<TUpdateFile>();
  try {
    file->header = readFileHeaderInfo(options.fileInfoPath);
  } catch (const std::exception& e) {
    io.err << kCliPrefix << e.what() << '\n';
    return kExitUsage;  // an unusable file, as --help says
  }
  io.out << overviewTable(TFirmwareSources(std::move(file))) << std::flush;
  return kExitSuccess;
}

int updateCommand(const TCliOptions& options, const TStreams& io) {
  // A port that cannot be named stops the command before anything else.
  const TPortsChoice choice = options.simulate || options.bench ? TPortsChoice{} : choosePorts(options);
  if (!choice.error.empty()) {
    io.err << kCliPrefix << choice.error << '\n';
    return err::PortNotReady;
  }
  std::optional<TFirmwareSources> sources = prepareUpdateFile(options.updateFile, io);
  if (!sources) return kExitUsage;
  // The records store is checked before the question, so that nobody
  // confirms an update whose records would be refused.
  std::unique_ptr<TRecordsSession> records;
  if (!options.records.empty() && !(records = TRecordsSession::open(options, io))) return kExitUsage;
  if (const std::optional<int> refused = confirmUpdate(options, io)) return *refused;

  const bool drawsInPlace = prepareConsoleForUpdate();
  // Before any other thread starts, so that all of them leave the signals
  // to the watcher.
  auto cancel = std::make_shared<TCancelToken>();
  const TCancelOnSignals cancelSignals(cancel);
  const TTerminalFacts terminal{drawsInPlace, stderrColumns()};
  IRunOutput* recorder = records ? records->recorder() : nullptr;
  const int status = options.bench
                         ? runBenchCommand(options, io, std::move(*sources), cancel, terminal, recorder)
                         : runUpdateOnPorts(options, io, choice.ports, std::move(*sources), cancel, terminal, recorder);
  return records ? records->finish(status, io) : status;
}

int runCommand(const TCliOptions& options, const TStreams& io) {
  switch (options.action) {
    case TAction::Help: io.out << helpText() << std::flush; return kExitSuccess;
    case TAction::Version: io.out << versionText() << std::endl; return kExitSuccess;
    case TAction::ListPorts: return listPortsCommand(io);
    case TAction::ListFirmware: return listFirmwareCommand(options, io);
    case TAction::FileInfo: return fileInfoCommand(options, io);
    case TAction::Update: return updateCommand(options, io);
    case TAction::History: return historyCommand(options, io);
    case TAction::None: break;
  }
  io.err << kCliPrefix << "nothing to do (see --help)\n";
  return kExitUsage;
}

}  // namespace kelvry::cli
