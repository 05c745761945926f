// messageBox: a message with a title and buttons, owned by no window.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace runtime {

inline constexpr int32_t messageBoxOk = 0;  // an OK button and no icon

// Shows the box and returns the number of the button that closed it (0 when it could not be
// shown). It has no owner, so the program's own window stays usable while it is open.
int32_t messageBox(const ByteString& message, const ByteString& title, int32_t style);

// How many message boxes are open: a message that arrives while the count is up came through a
// box's own message loop.
int32_t openMessageBoxCount();

// To be called when a step of the program ends: with a box open, posts the thread an empty message.
// A box that is ended while a loop nested in its own runs (a step begun by a message another
// process sent while the box's loop waited) loses to that loop the message that wakes its own; its
// loop then waits on, and takes the thread's next message, whatever it is, and drops it unseen as
// it ends. The empty message is the one dropped; any other loop hands it to no window.
void wakeMessageBoxLoops();

}  // namespace runtime
