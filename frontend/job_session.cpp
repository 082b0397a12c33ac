#include "frontend/job_session.h"

namespace kelvry {

TJobSession::TJobSession(INotificationSink& sink, TJobEnvironment environment,
                         std::shared_ptr<TCancelToken> runCancel)
    : CommThreadClass([environment = std::move(environment)](INotificationSink& hWindow, TUpdateRequest request) {
        return startCommThread(hWindow, std::move(request), environment);
      }),
      sink_(sink),
      runCancel_(std::move(runCancel)),
      bCancel(runCancel_->makeChild()) {}

TJobSession::~TJobSession() {
  // A worker still running must not outlive the sink it posts to.
  if (worker_) {
    cancel();
    release();
  }
}

void TJobSession::start(TUpdateRequest request) {
  release();
  request_ = std::move(request);
  repeats_ = 0;
  bCancel = runCancel_->makeChild();
  run();
}

void TJobSession::repeat(TUpdateRequest request) {
  release();
  request_ = std::move(request);
  ++repeats_;
  run();
}

void TJobSession::repeatWithFreshCancel(TUpdateRequest request) {
  release();
  request_ = std::move(request);
  ++repeats_;
  bCancel = runCancel_->makeChild();
  run();
}

void TJobSession::run() {
  request_.cancel = bCancel->makeChild();
  lastResult_ = {};
  worker_ = CommThreadClass(sink_, request_);
}

void TJobSession::pauseBeforeRepeat(IClock& clock) const { clock.sleepFor(kCommFailureRepeatDelay, *bCancel); }

void TJobSession::release() {
  if (!worker_) return;
  worker_->waitFor();
  lastResult_ = worker_->result();
  worker_.reset();
}

int32_t TJobSession::selectedSource() const {
  return worker_ ? worker_->selectedSource() : lastResult_.selectedSource;
}

}  // namespace kelvry
