// doEvents: the runtime's only way of yielding while the game is busy in one of its own loops.
#pragma once

#include <cstdint>

namespace runtime {

// Lets the window system deliver at most one pending message of this thread; when none is waiting
// it sleeps `sleepMilliseconds` instead. Never blocks waiting for a message. Called once per
// candidate of the word choice and once per text of a frame, so the window keeps painting and
// answering. A wait below 0 records error 5 and counts as 0. Returns the number of open host dialogs.
int32_t doEvents(int32_t sleepMilliseconds);

// How many times doEvents has run in this process, so that a step's time can be set against the
// waits it was obliged to make.
int64_t yieldCount();

}  // namespace runtime
