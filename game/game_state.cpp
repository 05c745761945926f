// The one GameState of the process.
#include "game/game_state.h"

namespace game {

GameState gameState;

}  // namespace game
