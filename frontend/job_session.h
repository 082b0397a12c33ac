#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "engine/comm_thread.h"
#include "engine/update_request.h"
#include "frontend/repeat_rules.h"

// One front end's job and its automatic repeats, as the window and the
// command line both run them: the request of the job, the worker that runs
// it, the cancel token the user sets, and the repeats it has made
// (repeat_rules.h says when to make one).

namespace kelvry {

using TCommThreadClass = std::function<TCommThreadPtr(INotificationSink&, TUpdateRequest)>;

class TJobSession {
public:
  // After a communication failure (notification 13) the job starts again
  // after this pause, which gives the logger time to settle; after a
  // read-back error (44) it starts again at once.
  static constexpr std::chrono::milliseconds kCommFailureRepeatDelay{1500};

  // The jobs find their serial line and clock in `environment`. Each start
  // by the user takes a fresh token below `runCancel` (the run's or the
  // application's), so a cancel of the run reaches every job, also one
  // started after it.
  TJobSession(INotificationSink& sink, TJobEnvironment environment,
              std::shared_ptr<TCancelToken> runCancel = std::make_shared<TCancelToken>());
  ~TJobSession();

  // How workers are made; tests put their own here.
  TCommThreadClass CommThreadClass;

  // A start by the user: a fresh session token (cancelled already when the
  // run is) and `request` run with a child of it.
  void start(TUpdateRequest request);
  // An automatic repeat: runs `request` (the front end builds it as for a
  // start) with a new child of the session token. A Cancel pressed before
  // or during the wait has cancelled that token, so the new worker stops at
  // its first attempt.
  void repeat(TUpdateRequest request);
  // An automatic repeat that clears a Cancel pressed before it, as a start
  // by the user does, yet still counts as a repeat of that start, so that
  // a bound on the repeats holds across it.
  void repeatWithFreshCancel(TUpdateRequest request);
  // The pause before a repeat after a communication failure; a cancel ends
  // it at once.
  void pauseBeforeRepeat(IClock& clock = steadyClock()) const;

  void cancel() { bCancel->cancel(); }
  bool cancelled() const { return bCancel->isCancelled(); }
  // The token of the user's last start; every job of it has a child of it.
  const std::shared_ptr<TCancelToken>& cancelToken() const { return bCancel; }

  bool running() const { return worker_ != nullptr; }
  // Waits for the worker to end (at once when it has posted its final
  // notification) and lets go of it; its result stays readable.
  void release();

  // The firmware the last job was started with.
  const TUpdateRequest& request() const { return request_; }
  // The running job's choice so far, or the last job's.
  int32_t selectedSource() const;
  const TJobResult& lastResult() const { return lastResult_; }
  // Automatic repeats since the user's start.
  int repeats() const { return repeats_; }

private:
  void run();

  INotificationSink& sink_;
  const std::shared_ptr<TCancelToken> runCancel_;
  std::shared_ptr<TCancelToken> bCancel;
  TUpdateRequest request_;
  TCommThreadPtr worker_;
  TJobResult lastResult_;
  int repeats_ = 0;
};

}  // namespace kelvry
