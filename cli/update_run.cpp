#include "cli/update_run.h"

#include <memory>
#include <thread>

#include "cli/notification_queue.h"
#include "engine/comm_thread.h"

namespace kelvry::cli {

int runUpdate(const TJobViewSettings& settings, const std::atomic<bool>& cancelRequested, std::ostream& out,
              TProgressLine& progress, TPortOpenError* portError) {
  // The queue outlives every worker that posts into it.
  TNotificationQueue queue;
  TCommThreadPtr worker;
  TJobHooks hooks{
      .startWorker = [&](TCmd cmd) { worker = CommThreadClass(queue, cmd, settings.portText); },
      // The worker has posted its final notification; joining it is quick.
      .releaseWorker =
          [&] {
            if (portError && worker) *portError = worker->portOpenError();
            worker.reset();
          },
      .pause = [](std::chrono::milliseconds wait) { std::this_thread::sleep_for(wait); },
  };
  TTerminalJobView view(settings, hooks, cancelRequested, out, progress);
  view.StartJob(TCmd::tCMD0);
  while (view.busy()) view.handle(queue.take());
  worker.reset();
  return view.exitStatus();
}

}  // namespace kelvry::cli
