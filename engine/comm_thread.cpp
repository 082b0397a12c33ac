#include "engine/comm_thread.h"

namespace kelvry {

TCommThread::TCommThread(INotificationSink& hWindow, TUpdateRequest request, TJobEnvironment environment)
    : FhWindow(hWindow),
      FRequest(std::move(request)),
      FEnvironment(std::move(environment)),
      FSelectedSource(FRequest.sources.hasFile() ? 0 : -1) {}

TCommThreadPtr startCommThread(INotificationSink& hWindow, TUpdateRequest request, TJobEnvironment environment) {
  TCommThreadPtr worker(new TCommThread(hWindow, std::move(request), std::move(environment)));
  worker->FThread = std::thread([raw = worker.get()] { raw->Execute(); });
  return worker;
}

void TCommThreadDelete::operator()(TCommThread* worker) const noexcept {
  worker->waitFor();
  delete worker;
}

void TCommThread::waitFor() {
  if (!FThread.joinable()) return;
  // A sink that dropped the worker from inside post() runs on the worker's
  // own thread: nothing of the object is used after that post, so let the
  // thread run out on its own.
  if (FThread.get_id() == std::this_thread::get_id())
    FThread.detach();
  else
    FThread.join();
}

void TCommThread::Execute() {
  FResult = runUpdateJob(FRequest, FEnvironment, FhWindow, FSelectedSource);
  // The port is closed by now, so a front end may open it again as soon as
  // it sees the final notification. Nothing of this object is used after it.
  const TNotification final = FResult.final;
  FhWindow.post(final.code, final.value);
}

}  // namespace kelvry
