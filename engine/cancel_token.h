#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <list>
#include <mutex>

namespace kelvry {

// The user's wish to stop a job, shared by the front end that sets it and
// the job that honours it. Setting it also wakes every wait of the job at
// once: pauses sleep on it, and a transport that blocks in a read registers
// a wake-up with onCancel().
class TCancelToken {
public:
  TCancelToken() = default;
  TCancelToken(const TCancelToken&) = delete;
  TCancelToken& operator=(const TCancelToken&) = delete;

  void cancel();
  // Only between jobs: a fresh start by the user clears it, an automatic
  // repeat keeps it.
  void clear() noexcept { cancelled_ = false; }
  bool isCancelled() const noexcept { return cancelled_; }

  // Sleeps until `deadline` on the steady clock; false when cancelled first.
  bool waitUntil(std::chrono::steady_clock::time_point deadline) const;

  // While the returned registration lives, `wake` is called (on the
  // cancelling thread) each time cancel() is. It must not block.
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
};

}  // namespace kelvry
