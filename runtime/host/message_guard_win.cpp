// The message guard: a hook on the thread's message retrieval, which sees every posted message any
// loop of the thread takes from the queue before it is dispatched, and one on the delivery of sent
// messages, which the system calls with each just before the window's procedure.
#include "runtime/host/message_guard.h"

#include <initializer_list>

namespace runtime {

namespace {

constexpr UINT systemTimer = 0x0118;  // WM_SYSTIMER: the system's own timers, a caret's blink among them

thread_local HHOOK postedGuard = nullptr;
thread_local HHOOK sentGuard = nullptr;

// The sent message delivered last on this thread.
struct Delivery {
  HWND window = nullptr;
  UINT message = 0;
  bool fromElsewhere = false;
};
thread_local Delivery lastSent;

bool forged(const MSG& message) {
  switch (message.message) {
    case WM_TIMER:
    case systemTimer:
      return message.lParam != 0;
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

LRESULT CALLBACK noteSentMessage(int code, WPARAM fromThisThread, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    lastSent = {sent.hwnd, sent.message, fromThisThread == 0};
  }
  return CallNextHookEx(nullptr, code, fromThisThread, lParam);
}

}  // namespace

bool guardThreadMessages() {
  const DWORD thread = GetCurrentThreadId();
  if (!postedGuard) postedGuard = SetWindowsHookExW(WH_GETMESSAGE, screenPostedMessage, nullptr, thread);
  if (!sentGuard) sentGuard = SetWindowsHookExW(WH_CALLWNDPROC, noteSentMessage, nullptr, thread);
  return postedGuard && sentGuard;
}

void releaseMessageGuard() {
  for (HHOOK* hook : {&postedGuard, &sentGuard}) {
    if (*hook) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  lastSent = {};
}

bool sentFromElsewhere(HWND window, UINT message) {
  return sentGuard && lastSent.fromElsewhere && lastSent.window == window && lastSent.message == message;
}

}  // namespace runtime
