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

}  // namespace runtime
