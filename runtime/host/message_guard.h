// Messages that only a forger sends: any process can post or send to the game's windows, and some
// messages do harm however they are answered once they arrive.
#pragma once

#include <windows.h>

namespace runtime {

// From here on, every message loop of the calling thread, the system's own (a message box's, a
// menu's) among them, gets WM_NULL in place of a posted
// - WM_TIMER or WM_SYSTIMER that names a procedure, which dispatching it would call. Neither the
//   runtime nor the game sets a timer with a procedure, so the message came from elsewhere; Windows
//   itself checks the procedure against the thread's timers, Wine calls whatever address it holds.
// - WM_INITDIALOG, WM_DESTROY or WM_NCDESTROY, which the system sends a window as it is made or
//   destroyed and never posts; taken as real, they would open or close the host's books on a dialog
//   that lives on.
// And the thread notes where each message sent to its windows comes from (sentFromElsewhere).
// False when the guard cannot be set.
bool guardThreadMessages();
// Takes the calling thread's guard off again.
void releaseMessageGuard();

// Whether `message`, which `window`'s procedure is handling now, was sent from another thread or
// process; false for one sent or posted by this thread, and always false without the guard.
// InSendMessageEx cannot tell: it also answers yes for a message this thread sends while it is
// handling one from elsewhere.
bool sentFromElsewhere(HWND window, UINT message);

}  // namespace runtime
