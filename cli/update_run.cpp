#include "cli/update_run.h"

#include "cli/notification_queue.h"
#include "engine/comm_thread.h"
#include "frontend/job_session.h"

namespace kelvry::cli {

int runUpdate(const TJobViewSettings& settings, std::shared_ptr<TCancelToken> cancel,
              const std::atomic<bool>& cancelRequested, std::ostream& out, TProgressLine& progress,
              TSerialFailure* portError, const TJobEnvironment& environment) {
  // The queue outlives every worker that posts into it.
  TNotificationQueue queue;
  TJobSession session(queue, std::move(cancel));
  session.CommThreadClass = [environment](INotificationSink& sink, TUpdateRequest request) {
    return startCommThread(sink, std::move(request), environment);
  };
  TTerminalJobView view(settings, session, cancelRequested, out, progress);
  view.StartJob(settings.request.cmd);
  while (view.busy()) view.handle(queue.take());
  session.release();
  if (portError) *portError = session.lastResult().serialFailure;
  return view.exitStatus();
}

}  // namespace kelvry::cli
