#include "driver/port_run.h"

#include <algorithm>

#include "driver/exit_status.h"
#include "driver/notification_queue.h"
#include "engine/comm_thread.h"
#include "engine/status_codes.h"
#include "frontend/job_session.h"

namespace kelvry {

int runExitStatus(const std::vector<TPortOutcome>& ports, bool readInfoOnly) {
  if (ports.size() == 1) return ports.front().record.exitStatus;
  const int success = successStatus(readInfoOnly);
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

}  // namespace kelvry
