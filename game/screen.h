// The game screen as the rules see it: one complete frame composed from GameState.
#pragma once

namespace game {

// Composes the whole frame afresh from GameState and shows it in one piece; changes no field.
void RefreshScreen();

}  // namespace game
