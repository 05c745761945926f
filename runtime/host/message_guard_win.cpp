// The message guard: a hook on the thread's message retrieval, which sees every posted message any
// loop of the thread takes from the queue before it is dispatched, and the checks of what a sent
// message carries.
#include "runtime/host/message_guard.h"

namespace runtime {

namespace {

constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER: the system's own timers, a caret's blink among them

thread_local HHOOK postedGuard = nullptr;
thread_local bool screenTimers = false;
thread_local bool probeCalled = false;

void CALLBACK timerProbe(HWND, UINT, UINT_PTR, DWORD) {
  probeCalled = true;
}

// Whether dispatching a timer message calls the procedure it names though the thread never gave it
// to SetTimer: tried once with a harmless procedure of our own. True when it cannot be told.
bool callsUnregisteredTimerProcedures() {
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, if it had none yet
  if (!PostThreadMessageW(GetCurrentThreadId(), WM_TIMER, 0, reinterpret_cast<LPARAM>(timerProbe)))
    return true;
  probeCalled = false;
  // Thread messages only: the windows' own wait for the loops.
  while (PeekMessageW(&message, reinterpret_cast<HWND>(-1), WM_TIMER, WM_TIMER, PM_REMOVE))
    DispatchMessageW(&message);
  return probeCalled;
}

bool forged(const MSG& message) {
  switch (message.message) {
    case WM_TIMER:
    case systemTimer:
      return screenTimers && message.lParam != 0;
    case WM_INITDIALOG:
    case WM_DESTROY:
    case WM_NCDESTROY:
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK screenPostedMessage(int code, WPARAM removal, LPARAM lParam) {
  if (code == HC_ACTION) {
    auto& message = *reinterpret_cast<MSG*>(lParam);
    if (forged(message)) {
      message.message = WM_NULL;
      message.wParam = 0;
      message.lParam = 0;
    }
  }
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

bool guardThreadMessages() {
  if (postedGuard) return true;
  screenTimers = callsUnregisteredTimerProcedures();
  postedGuard = SetWindowsHookExW(WH_GETMESSAGE, screenPostedMessage, nullptr, GetCurrentThreadId());
  return postedGuard != nullptr;
}

void releaseMessageGuard() {
  if (postedGuard) UnhookWindowsHookEx(postedGuard);
  postedGuard = nullptr;
}

bool readable(LPARAM at, size_t size) {
  auto address = static_cast<uintptr_t>(at);
  const uintptr_t end = address + size;
  if (address == 0 || end < address) return false;
  constexpr DWORD readAccess = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  // The bytes may span regions of different protection: each must allow reading.
  while (address < end) {
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(reinterpret_cast<const void*>(address), &region, sizeof(region)) ||
        region.State != MEM_COMMIT || !(region.Protect & readAccess) || (region.Protect & PAGE_GUARD))
      return false;
    address = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
  }
  return true;
}

// One sent from another thread or process carries a pointer into memory that is not ours, whether
// its sender waits or not; one posted, a pointer to anything at all.
bool genuineNotification(LPARAM lParam) {
  if (sentFromElsewhere() || !readable(lParam, sizeof(NMHDR))) return false;
  HWND from = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
  return GetWindowThreadProcessId(from, nullptr) == GetCurrentThreadId();
}

}  // namespace runtime
