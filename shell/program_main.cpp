// The game's main procedure.
#include "shell/program_main.h"

#include <windows.h>

#include <commctrl.h>

#include "game/game_state.h"
#include "game/screen.h"
#include "runtime/start/failing_calls.h"
#include "shell/main_dialog.h"
#include "shell/player_input.h"

namespace shell {

namespace {

// The common controls as far as this system has them; the game goes on without them.
void PrepareCommonControls() {
  if (runtime::callFails(runtime::SystemCall::commonControls)) return;
  HMODULE library = LoadLibraryA("COMCTL32.DLL");
  if (!library) return;
  using InitEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  const auto initEx =
      reinterpret_cast<InitEx>(reinterpret_cast<void (*)()>(GetProcAddress(library, "InitCommonControlsEx")));
  if (initEx) {
    const INITCOMMONCONTROLSEX classes{8, 0x9FF};
    initEx(&classes);
  } else {
    InitCommonControls();
  }
  FreeLibrary(library);
}

}  // namespace

int32_t ProgramMain(void*, void*, const wchar_t*, int32_t) {
  PrepareCommonControls();
  CreateMainDialog(nullptr);
  return 0;
}

void ReleaseProgramGlobals() {
  ResetInput();
  game::ReleaseScreen();
  game::gameState = game::GameState();
}

}  // namespace shell
