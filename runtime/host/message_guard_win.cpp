// The message guard: a hook on the thread's message retrieval, which sees every posted message any
// loop of the thread takes from the queue before it is dispatched, and the checks of what a sent
// message carries.
#include "runtime/host/message_guard.h"

namespace runtime {

namespace {

constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER: the system's own timers, a caret's blink among them
constexpr UINT_PTR probeId = 0x4C5A;

thread_local HHOOK postedGuard = nullptr;
// Whether the guard takes out WM_TIMER, and WM_SYSTIMER, messages that name a procedure.
thread_local bool screenTimers = false;
thread_local bool screenSystemTimers = false;
thread_local bool timerProbeCalled = false;
thread_local bool systemTimerProbeCalled = false;

void CALLBACK timerProbe(HWND, UINT, UINT_PTR, DWORD) {
  timerProbeCalled = true;
}

void CALLBACK systemTimerProbe(HWND, UINT, UINT_PTR, DWORD) {
  systemTimerProbeCalled = true;
}

// Whether dispatching a timer message of kind `message` calls the procedure it names though the
// thread never gave it to SetTimer: tried once with a harmless procedure of our own, posted to the
// thread. True when it cannot be told. Each kind is tried, as nothing documented says the system
// treats the two alike.
bool callsUnregisteredProcedures(UINT message, TIMERPROC probe, const bool& called) {
  const auto named = reinterpret_cast<LPARAM>(probe);
  if (!PostThreadMessageW(GetCurrentThreadId(), message, probeId, named)) return true;
  MSG taken;
  // The thread's own messages only, the windows' wait for the loops. Any other of this kind was
  // posted from elsewhere before the guard stood, so it is dropped unseen: dispatching it could
  // call whatever it names. A thread timer set meanwhile only loses one tick.
  while (PeekMessageW(&taken, reinterpret_cast<HWND>(-1), message, message, PM_REMOVE))
    if (taken.wParam == probeId && taken.lParam == named) DispatchMessageW(&taken);
  return called;
}

bool forged(const MSG& message) {
  switch (message.message) {
    case WM_TIMER:
      return screenTimers && message.lParam != 0;
    case systemTimer:
      return screenSystemTimers && message.lParam != 0;
    case WM_INITDIALOG:
    case WM_DESTROY:
    case WM_NCDESTROY:
      return true;
    // The system sends these, never posts them, and its own paint request carries no device
    // context; a posted one names a context to draw into, which may be any of the game's.
    case WM_ERASEBKGND:
    case WM_PRINT:
    case WM_PRINTCLIENT:
      return true;
    case WM_PAINT:
      return message.wParam != 0;
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
  MSG message;
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, if it had none yet
  timerProbeCalled = systemTimerProbeCalled = false;
  screenTimers = callsUnregisteredProcedures(WM_TIMER, timerProbe, timerProbeCalled);
  screenSystemTimers = callsUnregisteredProcedures(systemTimer, systemTimerProbe, systemTimerProbeCalled);
  postedGuard = SetWindowsHookExW(WH_GETMESSAGE, screenPostedMessage, nullptr, GetCurrentThreadId());
  return postedGuard != nullptr;
}

bool screensTimerMessages(UINT message) {
  return message == systemTimer ? screenSystemTimers : screenTimers;
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
