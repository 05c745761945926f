// GetTickCount64 for the static thread library on Windows XP, which lacks it.
//
// winpthreads, linked into every program, times its waits with GetTickCount64 (Vista and later),
// which would keep the program from loading on XP at all. It calls through the import pointer
// __imp_GetTickCount64; defining that pointer here, in an object linked before the system's import
// libraries are searched, keeps the function out of the import table. The first call sets the
// pointer to the system's own function where there is one, else to the counted GetTickCount.
#include <windows.h>

#include <atomic>

#include "runtime/start/tick_count.h"

using TickCount64Call = ULONGLONG(WINAPI*)();

#if defined(__i386__)
extern TickCount64Call tickCount64Import __asm__("__imp__GetTickCount64@0");
#else
extern TickCount64Call tickCount64Import __asm__("__imp_GetTickCount64");
#endif

namespace runtime {

namespace {

std::atomic<uint64_t> lastTickCount{0};

ULONGLONG WINAPI countedTickCountCall() {
  return countedTickCount();
}

ULONGLONG WINAPI firstTickCount64();

}  // namespace

// The clock is read after the last count is, so a count another thread stored first is never
// newer than the clock this one widens.
uint64_t countedTickCount() {
  uint64_t last = lastTickCount.load();
  for (;;) {
    const uint64_t now = widenTickCount(last, GetTickCount());
    if (lastTickCount.compare_exchange_weak(last, now)) return now;
  }
}

namespace {

ULONGLONG WINAPI firstTickCount64() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto system = kernel ? reinterpret_cast<TickCount64Call>(
                                   reinterpret_cast<void (*)()>(GetProcAddress(kernel, "GetTickCount64")))
                             : nullptr;
  const TickCount64Call chosen = system ? system : countedTickCountCall;
  std::atomic_ref(tickCount64Import).store(chosen);
  return chosen();
}

}  // namespace

}  // namespace runtime

TickCount64Call tickCount64Import = runtime::firstTickCount64;
