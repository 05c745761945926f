// The real game played for a long time from another process: random presses on and off the pad in
// bursts that arrive while frames are drawn and words chosen, "Nueva Partida" and "Autor" at random
// moments, every message box answered, games won and lost; then "Salir del programa". After each
// burst the screen must show exactly what this process shows when it plays the same inputs with
// the game's own code, so lives, figures, counters and words are checked all along.
//   LETRAZUL_SOAK_PRESSES sets the number of presses (1,000 unless given).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/word_list.h"
#include "shell/pad_press.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/temp_folder.h"

namespace e2e {
namespace {

constexpr uint32_t newGame = 1002, author = 1007, quit = 1005;

struct Input {
  enum Kind { Press, NewGame, Author } kind;
  int32_t x = 0, y = 0;
};

int32_t PressCount() {
  const char* text = std::getenv("LETRAZUL_SOAK_PRESSES");
  return text ? std::atoi(text) : 1000;
}

// Presses mostly on the pad, half of them on the word's own letters so that words are won as well
// as lost; the rest anywhere on the Canvas, gaps and edges included.
Input RandomInput(std::mt19937& random) {
  const auto roll = std::uniform_int_distribution<int>(0, 999)(random);
  if (roll < 6) return {Input::NewGame};
  if (roll < 8) return {Input::Author};
  if (roll < 700) {
    const char* letters = roll < 350 ? "sol" : "abcdefghijklmn\xF1opqrstuvwxyz";
    const int count = roll < 350 ? 3 : 27;
    const char letter = letters[std::uniform_int_distribution<int>(0, count - 1)(random)];
    return {Input::Press, KeyX(KeyOf(letter)), std::uniform_int_distribution<int>(550, 579)(random)};
  }
  if (roll < 850)
    return {Input::Press, std::uniform_int_distribution<int>(0, 797)(random),
            std::uniform_int_distribution<int>(545, 584)(random)};
  return {Input::Press, std::uniform_int_distribution<int>(0, 797)(random),
          std::uniform_int_distribution<int>(0, 597)(random)};
}

// The same input, carried out here by the game's own code; its boxes are answered at once.
void PlayHere(const Input& input) {
  if (input.kind == Input::NewGame) game::StartNewGame();
  if (input.kind == Input::Press) shell::HandlePadPress(static_cast<uint32_t>(MAKELPARAM(input.x, input.y)));
}

TEST(Soak, TheGamePlayedAtLengthShowsWhatTheRulesSayAndEndsCleanly) {
  const int32_t presses = PressCount();
  const auto seed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));

  test_support::TempFolder temp;
  std::string list;
  for (int32_t i = 0; i < game::UsableLines; ++i) list += "sol\r\n";
  Game game;
  ASSERT_TRUE(game.Start(Program(), temp.path() / ("soak-" + std::to_string(seed)), list));
  temp.write("dic.txt", list);
  game::gameState = game::GameState();
  game::gameState.programFolder = temp.widePrefix();
  ASSERT_TRUE(game.WaitForScreen(ExpectedFrame(game::GameState()), "soak-start"));
  game.Command(newGame);
  PlayHere({Input::NewGame});

  int32_t sent = 0, bursts = 0, boxesAnswered = 0, gamesLost = 0, wordsSolved = 0;
  int64_t settledMemory = 0;
  while (sent < presses) {
    const int burst = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < burst && sent < presses; ++i) {
      const Input input = RandomInput(random);
      if (input.kind == Input::Press) {
        game.Press(input.x, input.y);
        ++sent;
      } else {
        game.Command(input.kind == Input::NewGame ? newGame : author);
      }
      const int32_t solvedBefore = game::gameState.wordsSolved, overBefore = game::gameState.gameOver;
      PlayHere(input);
      wordsSolved += game::gameState.wordsSolved > solvedBefore;
      gamesLost += game::gameState.gameOver && !overBefore;
    }
    ++bursts;
    const Pixels expected = LastComposedFrame();
    // Boxes in front of the Canvas are answered until the screen shows the frame; the game must
    // get there within the time, whatever it still has to do.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool shown = false;
    while (!shown && std::chrono::steady_clock::now() < deadline) {
      // One OK answers a box, as it does for a player.
      for (const Box& box : game.Boxes()) {
        ASSERT_TRUE(Game::Close(box)) << "a box did not take its OK";
        ++boxesAnswered;
      }
      shown = game.Boxes().empty() && Differences(game.Screen(), expected) == 0;
      if (!shown) Sleep(20);
    }
    if (!shown) game.WaitForScreen(expected, "soak-burst", 1);
    ASSERT_TRUE(shown) << "after burst " << bursts << ", " << sent << " presses";
    ASSERT_TRUE(game.Running());
    if (!settledMemory && sent >= 500) settledMemory = game.ResidentBytes();
  }
  ASSERT_GT(settledMemory, 0) << "the game's memory could not be read";
  const int64_t grown = game.ResidentBytes() - settledMemory;
  std::printf(
      "soak: %d presses in %d bursts, %d words solved, %d games lost, %d boxes answered; memory grew "
      "%.2f MB after the first 500 presses (from %.1f MB)\n",
      sent, bursts, wordsSolved, gamesLost, boxesAnswered, static_cast<double>(grown) / (1 << 20),
      static_cast<double>(settledMemory) / (1 << 20));
  EXPECT_LT(grown, 4 << 20);
  // Inputs of the last burst may still be on their way, "Autor" among them: a box left open keeps
  // the program waiting for its answer even after its window is gone.
  game.Command(quit);
  std::optional<DWORD> code;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!(code = game.WaitForExit(100)) && std::chrono::steady_clock::now() < end)
    for (const Box& box : game.Boxes()) EXPECT_TRUE(Game::Close(box)) << "a box did not take its OK";
  ASSERT_TRUE(code) << "the game did not end";
  EXPECT_EQ(*code, 0u);
}

}  // namespace
}  // namespace e2e
