// The three menu commands and pad presses, carried out the same way on every platform.
#include "game/game_state.h"
#include "game/rules.h"
#include "game/screen.h"
#include "runtime/media/message_box.h"
#include "shell/main_window.h"
#include "shell/pad_press.h"
#include "shell/player_input.h"

namespace shell {

using namespace runtime;

const char* const AuthorMessage =
    "Programa realizado por Quimbal Espa\xF1"
    "a ...\r\nhttps://letrazul.example.org\r\nVisitame ...\r\nGracias !!";

void ShowStartUpFrame() {
  FindProgramFolder();
  game::keyFont = game::GameFont(game::KeySize);
  game::wordFont = game::GameFont(game::WordPoints);
  game::RefreshScreen();
  game::gameState.gameStarted = 0;
}

void CarryOut(const PlayerInput& input) {
  if (!MainWindowOpen()) return;
  if (input.kind == PlayerInput::Press) {
    HandlePadPress(input.value);
    return;
  }
  switch (input.value) {
    case NewGameCommand:
      game::StartNewGame();
      break;
    case AuthorCommand:
      messageBox(ByteString(AuthorMessage), ByteString("Programador ..."), messageBoxOk);
      break;
    case QuitCommand:
      CloseInput();
      CloseMainWindow();
      break;
    default:
      break;
  }
}

}  // namespace shell
