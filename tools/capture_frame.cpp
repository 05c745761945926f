// Composes one frame of a game in progress on the game's own window and writes it as a PNG:
//   capture_frame OUTPUT.png
// The README's picture is made this way, under Wine, from the very picture the Canvas is shown.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "game/game_state.h"
#include "game/screen.h"
#include "runtime/canvas/font_table.h"
#include "tests/support/game_window.h"
#include "tools/png_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: capture_frame OUTPUT.png\n");
    return 2;
  }
  using namespace game;
  runtime::resetFontTable();
  HWND dialog = test_support::makeGameWindow();
  // "murcielago" with m, r, c, l and g found, three misses, two lives left, seven words solved.
  gameState.word = ByteString("murcielago");
  gameState.maskedWord = ByteString("m-rc--l-g-");
  gameState.lastWord = ByteString("esdrujula");
  gameState.wrongLetters = ByteString("t b s ");
  gameState.misses = 3;
  gameState.lives = 2;
  gameState.wordsSolved = 7;
  RefreshScreen();
  const test_support::Pixels frame = test_support::pixelsOf(framePicture);
  if (frame.width != FrameWidth || frame.height != FrameHeight) {
    std::fprintf(stderr, "capture_frame: no frame was composed\n");
    return 1;
  }
  std::vector<uint8_t> rgb;
  for (COLORREF c : frame.colours) rgb.insert(rgb.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
  const std::vector<uint8_t> png = tools::encodePng(frame.width, frame.height, 3, rgb);
  std::ofstream out(argv[1], std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  ReleaseScreen();
  DestroyWindow(dialog);
  return out ? 0 : 1;
}
