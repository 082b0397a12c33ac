#include "cli/bench/bench_command.h"

#include <exception>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "cli/outputs/run_output_set.h"
#include "driver/bench_run.h"
#include "driver/case_report.h"
#include "driver/exit_status.h"
#include "driver/program_name.h"
#include "driver/simulated_bench.h"
#include "driver/utf8_path.h"
#include "engine/status_codes.h"
#include "frontend/job_request.h"
#include "frontend/port_open_advice.h"

namespace kelvry::cli {

namespace {

TBenchSettings benchSettings(const TCliOptions& options, TFirmwareSources sources) {
  TBenchSettings settings;
  settings.job.trace = options.trace;
  settings.job.maxRepeats = options.maxRepeats;
  // Each port puts its own name in.
  settings.job.request = jobRequest({}, TCmd::tCMD0, options.infoOnly, std::move(sources), options.run.jobChecks());
  settings.filters = options.portFilters;
  settings.expect = options.expect;
  // A virtual bench ends once each of its loggers was updated.
  if (options.simulate && !settings.expect) settings.expect = options.simulateCount;
  return settings;
}

TRunOutputSettings outputSettings(const TCliOptions& options, TTerminalFacts terminal) {
  TRunOutputSettings settings;
  settings.json = options.json;
  settings.stderrIsTerminal = terminal.stderrIsTerminal;
  settings.columns = terminal.columns;
  settings.logFolder = options.logDir;
  settings.bench = true;
  settings.bell = options.bell;
  settings.successStatus = successStatus(options.infoOnly);
  return settings;
}

}  // namespace

int runBenchCommand(const TCliOptions& options, const TStreams& io, TFirmwareSources sources,
                    const std::shared_ptr<TCancelToken>& cancel, TTerminalFacts terminal, IRunOutput* records) {
  std::optional<TSimulatedBench> simulated;
  TUsbPortSource usbPorts;
  IPortSource* ports = &usbPorts;
  TBenchSettings settings = benchSettings(options, sources);
  if (options.simulate) {
    simulated.emplace(options.simulateCount, sources);
    ports = &*simulated;
    settings.environmentFor = [&](const std::string& port) { return simulated->environmentFor(port); };
  }

  TCaseReport caseReport;
  caseReport.started = std::chrono::system_clock::now();
  caseReport.tool = versionText();
  caseReport.success = successStatus(options.infoOnly);
  std::optional<TRunOutputSet> output;
  std::optional<TCaseReportFile> caseFile;
  try {
    TRunOutputSettings settingsOfOutput = outputSettings(options, terminal);
    settingsOfOutput.records = records;
    output.emplace(settingsOfOutput, io.out, io.err);
    if (!options.logDir.empty()) caseFile.emplace(utf8Path(options.logDir), caseReport.started);
  } catch (const std::runtime_error& e) {
    // Only the report folder is checked before the bench starts.
    io.err << kCliPrefix << "--log-dir: " << e.what() << '\n';
    return kExitUsage;
  }
  const TBenchResult result = runBench(settings, *ports, cancel, *output);

  caseReport.ended = std::chrono::system_clock::now();
  caseReport.cancelled = cancel->isCancelled();
  caseReport.loggers = result.loggers;
  caseReport.images = installedImages(result.loggers);
  bool recordsComplete = output->recordsComplete();
  const std::string text = caseReportText(caseReport);
  if (caseFile) {
    if (const std::string failure = caseFile->write(text); !failure.empty()) {
      // The text is not lost with its file: stderr gets it whole.
      io.err << kCliPrefix << "case report \"" << utf8Text(caseFile->path()) << "\" is incomplete: " << failure
             << "; it follows here\n\n"
             << text << std::flush;
      recordsComplete = false;
    }
  } else {
    // After the summary, where people read it; beside JSON lines on stderr, as the summary.
    (options.json ? io.err : io.out) << '\n' << text << std::flush;
  }

  for (const TBenchLogger& logger : result.loggers)
    if (logger.outcome.record.exitStatus == err::PortNotReady)
      io.err << kCliPrefix << logger.identity.port << ": "
             << portOpenAdvice(logger.identity.port, logger.outcome.portFailure) << '\n';
  return recordsComplete ? result.exitStatus : kExitRecordsIncomplete;
}

}  // namespace kelvry::cli
