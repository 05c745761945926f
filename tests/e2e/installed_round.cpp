// Plays a short round of an installed game where it lies, with the word list installed beside it:
//   installed_round LETRAZUL_EXE
// Start, "Nueva Partida", one letter, "Salir del programa"; exits 0 when the game came up, found a
// word and ended with code 0. tests/resources/msi_install_test.sh plays the game that msiexec put
// into Program Files with it.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <optional>

#include "tests/e2e/game_driver.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: installed_round LETRAZUL_EXE\n");
    return 2;
  }
  const std::filesystem::path program = argv[1];
  e2e::Game game;
  if (!game.Start(program, program.parent_path(), std::nullopt)) {
    std::fprintf(stderr, "%s did not come up\n", argv[1]);
    return 1;
  }
  const int bits = game.Bits();
  game.WaitUntilStill();
  game.Command(1002);  // Nueva Partida
  game.WaitUntilStill();
  // Without a usable word list beside it, the game answers with a box instead of a word.
  for (const auto& box : game.Boxes()) {
    std::fprintf(stderr, "\"Nueva Partida\" brought a box: %ls\n", box.text.c_str());
    return 1;
  }
  game.PressLetter('e');
  game.WaitUntilStill();
  game.Command(1005);  // Salir del programa
  const auto code = game.WaitForExit();
  if (!code) {
    std::fprintf(stderr, "the game did not end\n");
    return 1;
  }
  if (*code != 0) {
    std::fprintf(stderr, "the game ended with code %lu\n", *code);
    return 1;
  }
  std::printf("the installed game played a round as a %d-bit program and ended with code 0\n", bits);
  return 0;
}
