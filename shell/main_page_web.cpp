// The game's window on the web: the page, its <canvas id="screen"> as the Canvas and its menu bar
// as the "Opciones" menu. Presses and commands come from the page's event queue.
#include "game/game_state.h"
#include "game/screen.h"
#include "runtime/canvas/canvas.h"
#include "runtime/host/page_host.h"
#include "runtime/text/error_code.h"
#include "shell/main_window.h"
#include "shell/player_input.h"

namespace shell {

using namespace runtime;

namespace {

void Deliver(const PageEvent& event) {
  if (event.kind == PageEvent::press)
    SubmitInput({PlayerInput::Press, event.value});
  else if (event.value == NewGameCommand || event.value == AuthorCommand || event.value == QuitCommand)
    SubmitInput({PlayerInput::Command, event.value});
}

void Start() {
  RunStep(ShowStartUpFrame);
}

}  // namespace

// The list is the page's dic.txt, or the file the player chose in its place: no folder.
void FindProgramFolder() {
  game::gameState.programDir = ByteString();
  game::gameState.programFolder.clear();
}

bool MainWindowOpen() {
  return pageOpen();
}

void CloseMainWindow() {
  endPage(0);
}

int32_t RunMainWindow() {
  game::mainDialog = createPage(ByteString("Letrazul"), game::CanvasId, game::FrameWidth, game::FrameHeight);
  // Without its Canvas the page could show no game: the program cannot start.
  if (!game::mainDialog) recordError(error::firstFatal);
  attachTarget(game::mainDialog, game::CanvasId);
  setColours(0x000000, 0xFFFFFF);
  clearTarget(systemColour, 0);
  return runPage(Deliver, Start);
}

}  // namespace shell
