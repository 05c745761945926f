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

}  // namespace runtime
