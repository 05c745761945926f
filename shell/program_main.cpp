// The game's main procedure.
#include "shell/program_main.h"

#include "game/game_state.h"
#include "game/screen.h"
#include "shell/main_window.h"
#include "shell/player_input.h"

namespace shell {

// The common controls are ready: the runtime's start-up initialises the game's classes with its own.
int32_t ProgramMain(void*, void*, const wchar_t*, int32_t) {
  RunMainWindow();
  return 0;
}

void ReleaseProgramGlobals() {
  ResetInput();
  game::ReleaseScreen();
  game::gameState = game::GameState();
}

}  // namespace shell
