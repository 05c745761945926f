// Messages that only a forger sends: any process can post or send to the game's windows, and some
// messages do harm however they are answered once they arrive.
#pragma once

#include <windows.h>

#include <cstddef>

namespace runtime {

// From here on, every message loop of the calling thread, the system's own (a message box's, a
// menu's) among them, gets WM_NULL in place of a posted
// - WM_INITDIALOG, WM_DESTROY or WM_NCDESTROY, which the system sends a window as it is made or
//   destroyed and never posts;
// - WM_TIMER or WM_SYSTIMER that names a procedure, on a system that would call it unchecked.
//   Windows calls only a procedure the thread gave SetTimer, and its own timers (a caret's blink,
//   hover and scroll) and those of components in the process carry procedures too, so there the
//   timers are left alone; Wine calls whatever address the message holds. Which it is, is tried
//   for each of the two as the guard is set; timer messages posted to the thread before then are
//   dropped;
// - WM_ERASEBKGND, WM_PRINT, WM_PRINTCLIENT, or WM_PAINT with a device context, which the system
//   sends and never posts: each names a device context to draw into.
// False when the guard cannot be set.
bool guardThreadMessages();
// Whether the calling thread's guard takes out the timer messages of kind `message` (WM_TIMER or
// WM_SYSTIMER) that name a procedure.
bool screensTimerMessages(UINT message);
// Takes the calling thread's guard off again.
void releaseMessageGuard();

// Whether the message the thread is handling now was sent from another thread or process, by
// SendMessage, SendMessageTimeout, SendNotifyMessage or SendMessageCallback alike. Also true for a
// message the thread sends itself while it handles one of those.
inline bool sentFromElsewhere() {
  return InSendMessageEx(nullptr) != ISMEX_NOSEND;
}

// Whether `size` bytes at `at` may be read. Any process can post a message whose lParam claims to
// be a structure, and a posted message looks like a sent one once it is dispatched; so such an
// lParam is read only where the memory is committed and readable.
bool readable(LPARAM at, size_t size);

// Whether a WM_NOTIFY carries a header that a window of this thread wrote and sent from here, as
// the dialog's controls all would.
bool genuineNotification(LPARAM lParam);

}  // namespace runtime
