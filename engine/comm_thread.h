#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "engine/notification_sink.h"
#include "engine/update_request.h"

namespace kelvry {

// One worker per job: runs the job on its own thread, passes its
// notifications on and ends with exactly one final notification (0, 10 or
// 13), always posted after the port is closed.
//
// Start workers with startCommThread; the thread starts at once. The owner
// keeps the returned pointer while the job runs; destroying it waits for the
// thread, which has nothing left to do once its final notification is out.
class TCommThread;

struct TCommThreadDelete {
  void operator()(TCommThread* worker) const noexcept;
};
using TCommThreadPtr = std::unique_ptr<TCommThread, TCommThreadDelete>;

class TCommThread {
public:
  TCommThread(const TCommThread&) = delete;
  TCommThread& operator=(const TCommThread&) = delete;

  // Blocks until the thread body has returned.
  void waitFor();

  // The source the job has chosen so far (-1 none): the front end reads it
  // when it handles notifications 26 and 0, which the job posts after
  // choosing.
  int32_t selectedSource() const { return FSelectedSource.load(); }

  // How the job ended. Read it only after the final notification.
  const TJobResult& result() const { return FResult; }

private:
  friend struct TCommThreadDelete;
  friend TCommThreadPtr startCommThread(INotificationSink&, TUpdateRequest, TJobEnvironment);

  TCommThread(INotificationSink& hWindow, TUpdateRequest request, TJobEnvironment environment);
  ~TCommThread() = default;
  void Execute();

  INotificationSink& FhWindow;
  const TUpdateRequest FRequest;
  const TJobEnvironment FEnvironment;
  // Until the job chooses: the update file when one is attached, else none.
  std::atomic<int32_t> FSelectedSource;
  TJobResult FResult;
  std::thread FThread;
};

TCommThreadPtr startCommThread(INotificationSink& hWindow, TUpdateRequest request,
                               TJobEnvironment environment);

}  // namespace kelvry
