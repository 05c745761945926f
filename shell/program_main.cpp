// The game's main procedure.
#include "shell/program_main.h"

#include "game/game_state.h"

namespace shell {

// There is no main window to open yet, so the program ends at once and successfully.
int32_t ProgramMain(void*, void*, const wchar_t*, int32_t) {
  return 0;
}

void ReleaseProgramGlobals() {
  game::gameState = game::GameState();
}

}  // namespace shell
