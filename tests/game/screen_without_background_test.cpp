// A program built without its pictures: every frame finds no background, draws nothing, and the
// Canvas keeps the white it was cleared to, while the key table still describes the pad.
#include <windows.h>

#include <gtest/gtest.h>

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/screen.h"
#include "runtime/canvas/draw_target.h"
#include "runtime/canvas/font_table.h"
#include "runtime/host/dialog_host.h"
#include "tests/support/game_window.h"

namespace game {
namespace {

TEST(ScreenWithoutBackground, FramesDrawNothingAndTheCanvasStaysWhite) {
  runtime::resetFontTable();
  HWND dialog = test_support::makeGameWindow();
  const auto canvas = reinterpret_cast<TargetHandle>(test_support::canvasOf(dialog));
  const test_support::Pixels cleared = test_support::pixelsOf(canvas);
  ASSERT_EQ(cleared.at(400, 300), RGB(255, 255, 255));

  gameState.lives = 3;
  gameState.maskedWord = ByteString("-----");
  RefreshScreen();
  PressedKeyFrame(15);
  EXPECT_EQ(framePicture, 0u);
  EXPECT_EQ(runtime::targetCount(), 1) << "only the Canvas";
  EXPECT_EQ(test_support::pixelsOf(canvas), cleared);
  EXPECT_EQ(keyBoxes[15].left, 430);
  ReleaseScreen();
  runtime::endDialog(dialog, 0);
}

}  // namespace
}  // namespace game
