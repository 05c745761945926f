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
// False when the guard cannot be set.
bool guardThreadMessages();
// Takes the calling thread's guard off again.
void releaseMessageGuard();

}  // namespace runtime
