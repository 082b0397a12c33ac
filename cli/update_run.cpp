#include "cli/update_run.h"

#include "cli/notification_queue.h"
#include "engine/comm_thread.h"
#include "frontend/job_session.h"

namespace kelvry::cli {

int runUpdate(const TJobViewSettings& settings, std::shared_ptr<TCancelToken> cancel, std::ostream& out,
              TProgressLine& progress, const TJobEnvironment& environment, TSerialFailure* portError) {
  // The queue outlives every worker that posts into it.
  TNotificationQueue queue;
  TJobSession session(queue, environment, std::move(cancel));
  TTerminalJobView view(settings, session, out, progress);
  view.StartJob(settings.request.cmd);
  while (view.busy()) view.handle(queue.take());
  session.release();
  if (portError) *portError = session.lastResult().serialFailure;
  return view.exitStatus();
}

}  // namespace kelvry::cli
