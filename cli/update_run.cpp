#include "cli/update_run.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "cli/exit_status.h"
#include "cli/notification_queue.h"
#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "frontend/job_session.h"
#include "frontend/platform_job_environment.h"

namespace kelvry::cli {

int runExitStatus(const std::vector<TPortOutcome>& ports, bool readInfoOnly) {
  if (ports.size() == 1) return ports.front().record.exitStatus;
  const int success = readInfoOnly ? err::ReadInfoOnly : kExitSuccess;
  const bool all = std::ranges::all_of(ports, [&](const TPortOutcome& p) { return p.record.exitStatus == success; });
  return all ? success : kExitSomeFailed;
}

TPortOutcome runPort(TJobViewSettings settings, const TJobEnvironment& environment, size_t index,
                     std::shared_ptr<TCancelToken> cancel, IRunOutput& output) {
  const TCmd cmd = settings.request.cmd;
  TNotificationQueue queue;  // outlives every worker that posts into it
  TJobSession session(queue, environment, std::move(cancel));
  TPortJobView view(std::move(settings), session, output, index);
  view.StartJob(cmd);
  while (view.busy()) view.handle(queue.take());
  session.release();
  return {view.record(), session.lastResult().serialFailure};
}

TRunResult runPorts(const TRunSettings& settings, const std::shared_ptr<TCancelToken>& cancel, std::ostream& out,
                    std::ostream& err) {
  const std::vector<std::string>& ports = settings.output.ports;
  TRunOutputs output(settings.output, out, err);

  TRunResult result;
  result.ports.resize(ports.size());
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < ports.size(); ++i) {
      TJobViewSettings job = settings.job;
      job.portText = ports[i];
      job.request.sPort = ports[i];
      const TJobEnvironment environment =
          i < settings.environments.size() ? settings.environments[i] : platformJobEnvironment();
      threads.emplace_back([&, i, job = std::move(job), environment]() mutable {
        TPortOutcome& outcome = result.ports[i];
        try {
          outcome = runPort(std::move(job), environment, i, cancel->makeChild(), output);
        } catch (const std::exception& e) {
          outcome.record.port = ports[i];
          outcome.record.exitStatus = kExitUnexpected;
          outcome.record.resultText = std::string("unexpected failure: ") + e.what();
        }
        output.finished(i, outcome.record);
      });
    }
  }  // every port released

  std::vector<TPortRecord> records;
  for (const TPortOutcome& outcome : result.ports) records.push_back(outcome.record);
  output.summary(records);
  result.exitStatus = output.recordsComplete() ? runExitStatus(result.ports, settings.job.request.bReadInfoOnly)
                                                : kExitRecordsIncomplete;
  return result;
}

}  // namespace kelvry::cli
