// The one guarded way the runtime makes a system call whose failure must never show a box.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

#include "runtime/start/spin_lock.h"

namespace runtime {

// Whether the processor has SSE's control and status register, which 32-bit processors before the
// Pentium III and the Athlon XP lack (reading it there is an illegal instruction), and Windows XP
// still runs on. Asked once as the program starts.
extern const bool processorHasSse;

// The floating-point control state a system call could leave changed: the x87 control word
// (precision, rounding, exception masks) and, where there is one, the SSE control and status
// register. Read and written directly, because the C library's whole-environment calls cost
// microseconds under Wine, several times the file read they would guard.
class FloatingPointControl {
 public:
  explicit FloatingPointControl(bool withSse = processorHasSse) : withSse_(withSse) {
    __asm__ volatile("fnstcw %0" : "=m"(x87_));
    if (withSse_) __asm__ volatile("stmxcsr %0" : "=m"(sse_));
  }
  ~FloatingPointControl() {
    __asm__ volatile("fldcw %0" : : "m"(x87_));
    if (withSse_) __asm__ volatile("ldmxcsr %0" : : "m"(sse_));
  }
  FloatingPointControl(const FloatingPointControl&) = delete;
  FloatingPointControl& operator=(const FloatingPointControl&) = delete;

 private:
  bool withSse_;
  uint16_t x87_ = 0;
  uint32_t sse_ = 0;
};

inline SpinLock systemCallLock;

// This system's SetThreadErrorMode, which Windows 7 brought; null on older systems. Looked up once
// as the program starts.
using SetThreadErrorModeCall = BOOL(WINAPI*)(DWORD mode, DWORD* previous);
extern const SetThreadErrorModeCall setThreadErrorMode;

// No critical-error or open-file box while it lives, the error mode as it was after. The mode is
// the thread's own where the system has one, so no other thread's boxes change, and setting it
// costs no trip to the system (under Wine the process-wide mode is a server request, twice per
// 128-byte block of a file read); older systems have only the process's mode.
class QuietErrorMode {
 public:
  explicit QuietErrorMode(SetThreadErrorModeCall threadCall = setThreadErrorMode);
  ~QuietErrorMode();
  QuietErrorMode(const QuietErrorMode&) = delete;
  QuietErrorMode& operator=(const QuietErrorMode&) = delete;

 private:
  SetThreadErrorModeCall threadCall_;
  DWORD previous_ = 0;
};

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
