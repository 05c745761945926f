// The README's pictures, made under Wine by the game's own code:
//   capture_frame FRAME.png [WINDOW.png]
// FRAME.png is one frame of a game in progress, the very picture the Canvas is shown. WINDOW.png
// is the real letrazul.exe of this build, caption and menu included, in the middle of a round
// played as the end-to-end tests play it.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "game/screen.h"
#include "game/word_list.h"
#include "runtime/canvas/font_table.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/game_window.h"
#include "tests/support/shown_state.h"

namespace {

// m, r, c, l and g of "murcielago" found, three misses, two lives left, seven words solved.
bool captureFrame(const std::filesystem::path& file) {
  runtime::resetFontTable();
  HWND dialog = test_support::makeGameWindow();
  game::gameState = test_support::ShownState("m-rc--l-g-", "esdrujula", 2, 3, 7, "t b s ");
  game::RefreshScreen();
  const test_support::Pixels frame = test_support::pixelsOf(game::framePicture);
  const bool made =
      frame.width == game::FrameWidth && frame.height == game::FrameHeight && e2e::SavePicture(frame, file);
  game::ReleaseScreen();
  DestroyWindow(dialog);
  return made;
}

// A new game on a list of "montaña" alone, then e a s n r ñ i: "--n-aña" with four misses.
bool captureWindow(const std::filesystem::path& file) {
  const std::string line = std::string("monta\xF1") + "a\r\n";  // code page 1252
  std::string list;
  for (int32_t i = 0; i < game::UsableLines; ++i) list += line;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::filesystem::path folder =
      std::filesystem::path(temp) / ("letrazul-picture-" + std::to_string(GetCurrentProcessId()));
  bool made = false;
  {
    e2e::Game game;
    if (game.Start(e2e::Program(), folder, list)) {
      game.Command(1002);  // Opciones > Nueva Partida
      for (char letter : std::string("easnr\xF1i")) game.PressLetter(letter);
      const std::string masked = std::string("--n-a\xF1") + "a";
      const auto shown = test_support::ShownState(masked.c_str(), "", 3, 4, 0, "e s r i ");
      made = game.WaitForScreen(e2e::ExpectedFrame(shown), "capture_frame-window") &&
             e2e::SavePicture(game.WindowScreen(), file);
      game.Command(1005);  // Opciones > Salir del programa
      made = made && game.WaitForExit() == 0u;
    }
  }
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return made;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: capture_frame FRAME.png [WINDOW.png]\n");
    return 2;
  }
  if (!captureFrame(argv[1])) {
    std::fprintf(stderr, "capture_frame: no frame was composed or written\n");
    return 1;
  }
  if (argc == 3 && !captureWindow(argv[2])) {
    std::fprintf(stderr, "capture_frame: the game did not reach the round to show, or it was not written\n");
    return 1;
  }
  return 0;
}
