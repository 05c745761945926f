// The process-wide lock the runtime holds around its short list and system-call sections.
#pragma once

#include <atomic>
#include <thread>

namespace runtime {

// Held only for a few list operations at a time, so waiting by spinning costs less than a kernel
// object would. Use it through std::lock_guard.
class SpinLock {
 public:
  void lock() noexcept {
    while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  void unlock() noexcept { flag_.clear(std::memory_order_release); }

 private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

// A spin lock the holding thread may take again: a drawing operation that updates a window
// synchronously is re-entered by that window's paint on the same thread.
class RecursiveSpinLock {
 public:
  void lock() noexcept {
    const auto self = std::this_thread::get_id();
    if (owner_.load(std::memory_order_acquire) == self) {
      ++depth_;
      return;
    }
    lock_.lock();
    owner_.store(self, std::memory_order_release);
    depth_ = 1;
  }
  void unlock() noexcept {
    if (--depth_ > 0) return;
    owner_.store(std::thread::id(), std::memory_order_release);
    lock_.unlock();
  }

 private:
  SpinLock lock_;
  std::atomic<std::thread::id> owner_{};
  int depth_ = 0;
};

}  // namespace runtime
