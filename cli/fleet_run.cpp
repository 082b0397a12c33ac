#include "cli/fleet_run.h"

#include <algorithm>
#include <exception>
#include <thread>

#include "cli/exit_status.h"
#include "cli/fleet_job_view.h"
#include "cli/notification_queue.h"
#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "frontend/job_session.h"
#include "frontend/platform_job_environment.h"

namespace kelvry::cli {

namespace {

struct TPortOutcome {
  TPortRecord record;
  TSerialFailure portFailure;
};

// One port's update from start to its last notification, on the calling
// thread, as a single update runs (see update_run.cpp).
TPortOutcome runPort(TJobViewSettings settings, const TJobEnvironment& environment, size_t index,
                     std::shared_ptr<TCancelToken> cancel, TFleetOutput& output) {
  const TCmd cmd = settings.request.cmd;
  TNotificationQueue queue;  // outlives every worker that posts into it
  TJobSession session(queue, environment, std::move(cancel));
  TFleetJobView view(std::move(settings), session, output, index);
  view.start(cmd);
  while (view.busy()) view.take(queue.take());
  session.release();
  TPortOutcome outcome{view.record(), session.lastResult().serialFailure};
  output.finished(index, outcome.record);
  return outcome;
}

}  // namespace

int fleetExitStatus(const std::vector<TPortRecord>& records, bool readInfoOnly) {
  if (records.size() == 1) return records.front().exitStatus;
  const int success = readInfoOnly ? err::ReadInfoOnly : kExitSuccess;
  const bool all = std::ranges::all_of(records, [&](const TPortRecord& r) { return r.exitStatus == success; });
  return all ? success : kExitSomeFailed;
}

TFleetResult runFleet(const TFleetSettings& settings, const std::shared_ptr<TCancelToken>& cancel,
                      std::ostream& out, std::ostream& err) {
  const std::vector<std::string>& ports = settings.output.ports;
  TFleetOutput output(settings.output, out, err);

  std::vector<TPortOutcome> outcomes(ports.size());
  {
    std::vector<std::jthread> threads;
    for (size_t i = 0; i < ports.size(); ++i) {
      TJobViewSettings job = settings.job;
      job.portText = ports[i];
      job.request.sPort = ports[i];
      const TJobEnvironment environment =
          i < settings.environments.size() ? settings.environments[i] : platformJobEnvironment();
      threads.emplace_back([&, i, job = std::move(job), environment]() mutable {
        try {
          outcomes[i] = runPort(std::move(job), environment, i, cancel->makeChild(), output);
        } catch (const std::exception& e) {
          outcomes[i].record.port = ports[i];
          outcomes[i].record.exitStatus = kExitUnexpected;
          outcomes[i].record.resultText = std::string("unexpected failure: ") + e.what();
          output.finished(i, outcomes[i].record);
        }
      });
    }
  }  // every port released

  TFleetResult result;
  for (TPortOutcome& outcome : outcomes) {
    result.records.push_back(std::move(outcome.record));
    result.portFailures.push_back(std::move(outcome.portFailure));
  }
  output.summary(result.records);
  result.exitStatus = fleetExitStatus(result.records, settings.job.request.bReadInfoOnly);
  return result;
}

}  // namespace kelvry::cli
