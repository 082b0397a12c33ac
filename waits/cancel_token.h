#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>

namespace kelvry {

// The user's wish to stop, shared by the front end that sets it and the
// jobs that honour it. Tokens form a tree: a run owns the root, and each
// port, each job and each automatic repeat takes a child, which is cancelled
// with its parent and is born cancelled when the parent already is. A token
// is never cleared: a fresh start by the user takes a fresh child instead,
// so a cancel can neither be lost between two jobs nor outlive the start it
// was meant for.
//
// Setting it also wakes every wait at once: pauses sleep on it, and a wait
// on a platform object (a POSIX read's eventfd, a Windows event) registers a
// wake-up with onCancel() that signals the object.
class TCancelToken : public std::enable_shared_from_this<TCancelToken> {
public:
  TCancelToken() = default;
  ~TCancelToken();
  TCancelToken(const TCancelToken&) = delete;
  TCancelToken& operator=(const TCancelToken&) = delete;

  // A new token below this one. This token must be owned by a shared_ptr;
  // the child keeps it alive.
  [[nodiscard]] std::shared_ptr<TCancelToken> makeChild() const;

  void cancel();
  bool isCancelled() const noexcept { return cancelled_; }

  // Sleeps until `deadline` on the steady clock; false when cancelled first.
  bool waitUntil(std::chrono::steady_clock::time_point deadline) const;

  // While the returned registration lives, `wake` is called (on the
  // cancelling thread) when cancel() is. It must not block. A token that is
  // already cancelled does not call it: look at isCancelled() after
  // registering.
  class TWakeRegistration {
  public:
    TWakeRegistration(TWakeRegistration&& other) noexcept;
    TWakeRegistration& operator=(TWakeRegistration&&) = delete;
    ~TWakeRegistration();

  private:
    friend class TCancelToken;
    using TList = std::list<std::function<void()>>;
    TWakeRegistration(const TCancelToken* token, TList::iterator entry) : token_(token), entry_(entry) {}
    const TCancelToken* token_;
    TList::iterator entry_;
  };
  [[nodiscard]] TWakeRegistration onCancel(std::function<void()> wake) const;

private:
  std::atomic<bool> cancelled_{false};
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  mutable TWakeRegistration::TList wakers_;
  // A child's link to its parent. Declared last, so that it is undone first:
  // a parent that cancels never reaches a child being destroyed.
  std::shared_ptr<const TCancelToken> parent_;
  std::optional<TWakeRegistration> cancelWithParent_;
};

}  // namespace kelvry
