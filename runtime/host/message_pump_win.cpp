// doEvents over the thread's message queue, with 1 ms sleeps that really last about 1 ms.
#include <windows.h>

#include <mmsystem.h>

#include "runtime/host/host_state.h"
#include "runtime/host/pump_once.h"

namespace runtime {

namespace {

// Windows' default scheduler tick is 15.6 ms, which would stretch every 1 ms wait of the game about
// fifteen times; the finer period is asked for once for the whole life of the process.
class TimerPeriod {
 public:
  TimerPeriod() : granted_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~TimerPeriod() {
    if (granted_) timeEndPeriod(1);
  }
  TimerPeriod(const TimerPeriod&) = delete;
  TimerPeriod& operator=(const TimerPeriod&) = delete;

 private:
  bool granted_;
};

const TimerPeriod timerPeriod;

// Accelerators first, then dialog navigation: what either of them takes is finished.
bool handledByActiveDialog(MSG& message) {
  HWND dialog = activeDialog;
  if (!dialog || !IsWindow(dialog)) return false;
  if (HACCEL table = dialogAccelerators(dialog); table && TranslateAcceleratorW(dialog, table, &message))
    return true;
  return IsDialogMessageW(dialog, &message) != FALSE;
}

}  // namespace

int32_t pumpOnce(int32_t sleepMilliseconds) {
  MSG message;
  if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!handledByActiveDialog(message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  } else {
    Sleep(static_cast<DWORD>(sleepMilliseconds));
  }
  return openDialogCount;
}

}  // namespace runtime
