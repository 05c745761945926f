// The message guard: a hook on the thread's message retrieval, which sees every posted message any
// loop of the thread takes from the queue before it is dispatched.
#include "runtime/host/message_guard.h"

namespace runtime {

namespace {

constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER: the system's own timers, a caret's blink among them

thread_local HHOOK postedGuard = nullptr;

bool forged(const MSG& message) {
  switch (message.message) {
    case WM_TIMER:
    case systemTimer:
      return message.lParam != 0;
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
  if (!postedGuard)
    postedGuard = SetWindowsHookExW(WH_GETMESSAGE, screenPostedMessage, nullptr, GetCurrentThreadId());
  return postedGuard != nullptr;
}

void releaseMessageGuard() {
  if (postedGuard) UnhookWindowsHookEx(postedGuard);
  postedGuard = nullptr;
}

}  // namespace runtime
