// A left-button press on the Canvas: a letter of the pad, guessed or answered with "GAME OVER".
#pragma once

#include <cstdint>

namespace shell {

// `position` as WM_LBUTTONDOWN gives it: x in the low 16 bits, y in the high 16 bits, unsigned.
// Only a press on a key of the pad during a game does anything.
void HandlePadPress(uint32_t position);

}  // namespace shell
