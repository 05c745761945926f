// Pad presses: the pressed-key frame, then the guess, or "GAME OVER" once the game is lost.
#include "shell/pad_press.h"

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/rules.h"
#include "game/screen.h"
#include "runtime/media/message_box.h"

namespace shell {

using namespace game;

void HandlePadPress(uint32_t position) {
  const uint32_t x = position & 0xFFFF, y = position >> 16 & 0xFFFF;
  const int32_t k = HitTestKey(x);
  // A press in a gap between the keys' ranges has no letter, so it counts as one outside the pad.
  if (gameState.gameStarted != 1 || x < 10 || x > 800 || y < 550 || y > 579 || k == 0) return;
  PressedKeyFrame(k);
  gameState.currentGuess = keyBoxes[static_cast<size_t>(k)].letter.text();
  if (!gameState.gameOver)
    EvaluateGuess();
  else
    runtime::messageBox(ByteString("GAME OVER"), ByteString("Programador"), runtime::messageBoxOk);
}

}  // namespace shell
