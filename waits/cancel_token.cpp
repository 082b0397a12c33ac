#include "waits/cancel_token.h"

namespace kelvry {

TCancelToken::~TCancelToken() = default;

std::shared_ptr<TCancelToken> TCancelToken::makeChild() const {
  auto child = std::make_shared<TCancelToken>();
  child->parent_ = shared_from_this();
  TCancelToken* raw = child.get();
  child->cancelWithParent_.emplace(onCancel([raw] { raw->cancel(); }));
  // Registered first, looked at afterwards: a cancel between the two is
  // seen either way, and a second cancel() does no harm.
  if (isCancelled()) child->cancel();
  return child;
}

void TCancelToken::cancel() {
  std::lock_guard lock(mutex_);
  if (cancelled_.exchange(true)) return;
  changed_.notify_all();
  for (const auto& wake : wakers_) wake();
}

bool TCancelToken::waitUntil(std::chrono::steady_clock::time_point deadline) const {
  std::unique_lock lock(mutex_);
  return !changed_.wait_until(lock, deadline, [this] { return cancelled_.load(); });
}

TCancelToken::TWakeRegistration TCancelToken::onCancel(std::function<void()> wake) const {
  std::lock_guard lock(mutex_);
  wakers_.push_front(std::move(wake));
  return TWakeRegistration(this, wakers_.begin());
}

TCancelToken::TWakeRegistration::TWakeRegistration(TWakeRegistration&& other) noexcept
    : token_(other.token_), entry_(other.entry_) {
  other.token_ = nullptr;
}

TCancelToken::TWakeRegistration::~TWakeRegistration() {
  if (token_ == nullptr) return;
  std::lock_guard lock(token_->mutex_);
  token_->wakers_.erase(entry_);
}

}  // namespace kelvry
