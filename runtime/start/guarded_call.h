// The one guarded way the runtime makes a system call whose failure must never show a box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

#include "runtime/start/floating_point_control.h"
#include "runtime/start/quiet_error_mode.h"
#include "runtime/start/spin_lock.h"

namespace runtime {

// One guarded call at a time: the error mode falls back to the process's on older systems.
inline SpinLock systemCallLock;

// Runs one system call with no critical-error or open-file box, the floating-point state kept as it
// was, and the thread's last error cleared before it and read after it: a call counts as failed
// when that error is non-zero, whatever it returned.
template <typename Call>
uint32_t guardedCall(Call&& call) {
  std::lock_guard guard(systemCallLock);
  const FloatingPointControl keptFloatingPoint;
  const QuietErrorMode quiet;
  SetLastError(ERROR_SUCCESS);
  call();
  return GetLastError();
}

}  // namespace runtime
