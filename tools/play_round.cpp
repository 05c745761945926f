// Plays a short scripted round of the real game on the current (virtual) display and writes
// screenshots of the window:
//   play_round LETRAZUL_EXE WORD_LIST OUTPUT_FOLDER
// The game runs from a folder of its own with the given list as dic.txt. The round: a new game,
// the most frequent Spanish letters one by one until the game says it is over or they run out,
// the author message, and the way out.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/e2e/game_driver.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: play_round LETRAZUL_EXE WORD_LIST OUTPUT_FOLDER\n");
    return 2;
  }
  std::ifstream listFile(argv[2], std::ios::binary);
  const std::string list((std::istreambuf_iterator<char>(listFile)), std::istreambuf_iterator<char>());
  const std::filesystem::path output = argv[3];
  std::filesystem::create_directories(output);
  char folderName[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folderName);
  const std::filesystem::path folder =
      std::filesystem::path(folderName) / ("letrazul-play-" + std::to_string(GetCurrentProcessId()));

  e2e::Game game;
  if (!game.Start(argv[1], folder, list)) return 1;
  int shot = 0;
  auto screenshot = [&](const std::string& what) {
    game.WaitUntilStill();
    char name[64];
    std::snprintf(name, sizeof(name), "%02d-%s.png", ++shot, what.c_str());
    e2e::SavePicture(game.WindowScreen(), output / name);
    std::printf("  %s\n", name);
  };
  std::printf("screenshots in %s:\n", output.string().c_str());
  screenshot("start");
  game.Command(1002);
  screenshot("new-game");
  for (char letter : std::string("eaosrnidlctumpbgvyhfqzj\xF1xkw")) {
    game.PressLetter(letter);
    screenshot(std::string("pressed-") + (letter == '\xF1' ? std::string("enie") : std::string(1, letter)));
    if (!game.Boxes().empty()) break;  // "GAME OVER"
  }
  // Each box is answered once, as a player would; the next step waits until the answer is taken,
  // or it could find the answered box still on the screen and answer it again instead of its own.
  bool answered = true;
  for (const auto& box : game.Boxes()) answered = e2e::Game::Close(box) && answered;
  game.Command(1007);
  const auto author = game.WaitForBox(15000, L"Programador ...");
  if (author) {
    screenshot("author");
    answered = e2e::Game::Close(*author) && answered;
  }
  game.Command(1005);
  const auto code = game.WaitForExit();
  if (!author) std::fprintf(stderr, "the author message did not come\n");
  if (!answered) std::fprintf(stderr, "a message box did not take its OK\n");
  if (!code)
    std::fprintf(stderr, "the game did not end\n");
  else if (*code != 0)
    std::fprintf(stderr, "the game ended with code %lu\n", *code);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return author && answered && code && *code == 0 ? 0 : 1;
}
