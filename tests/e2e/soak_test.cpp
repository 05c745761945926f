// The real game played for a long time from another process: random presses on and off the pad in
// bursts that arrive while frames are drawn and words chosen, "Nueva Partida" and "Autor" at random
// moments, every message box answered, games won and lost; then "Salir del programa". After each
// burst the screen must show exactly what this process shows when it plays the same inputs with
// the game's own code, so lives, figures, counters and words are checked all along.
//   LETRAZUL_SOAK_PRESSES sets the number of presses (1,000 unless given).
//   LETRAZUL_SOAK_SEED replays the inputs of an earlier run, whose seed the soak prints first.
// The game's memory is printed at 500 presses and every 1,000 after, so its shape shows: a run of
// 20,000 presses or more may grow at most 0.5 MB from 5,000 presses to the end, once heaps and
// caches have settled; a shorter one at most 4 MB from 500 presses. Both allow besides what Wine
// itself keeps of every message box. Run against the counted game (LETRAZUL_GAME naming
// letrazul_counted, as make soak does), the soak also prints what the runtime holds and checks that
// its pictures, window records, fonts and files stay as they were and that its heaps gain no more
// blocks than the boxes shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
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

uint32_t Seed() {
  if (const char* text = std::getenv("LETRAZUL_SOAK_SEED"); text && *text)
    return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
  return static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
}

double Megabytes(int64_t bytes) {
  return static_cast<double>(bytes) / (1 << 20);
}

// Where the memory check starts and how much it allows from there: a long run shows a slow leak
// that a short one cannot tell from heaps and caches warming up.
struct MemoryLimit {
  int32_t from;
  int64_t growth;
};

MemoryLimit LimitFor(int32_t presses) {
  if (presses >= 20000) return {5000, 1 << 19};
  return {500, 4 << 20};
}

// What Wine keeps of every message box shown and answered, measured with nothing of the game around
// it (tools/wine_memory boxes and stacked: 35 to 43 bytes a box, one 24-byte heap block of them never
// freed). The game shows a box for every press after a game is lost, thousands in a long run.
constexpr int64_t wineBytesPerBox = 64;
// Blocks the runtime's heaps may gain besides Wine's one a box: caches that fill late.
constexpr int64_t spareHeapBlocks = 256;

// The least of the game's readings over `window`. While a sound plays Wine keeps a thread and
// buffers for it, about 3 MB that go when it ends, and the longest sound lasts four seconds.
int64_t SettledMemory(const Game& game, std::chrono::milliseconds window) {
  const auto end = std::chrono::steady_clock::now() + window;
  int64_t least = -1;
  do {
    const int64_t reading = game.ResidentBytes();
    if (reading >= 0 && (least < 0 || reading < least)) least = reading;
    Sleep(100);
  } while (std::chrono::steady_clock::now() < end);
  return least;
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
  const uint32_t seed = Seed();
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::printf("soak: seed %u (LETRAZUL_SOAK_SEED=%u plays the same inputs), %d presses\n", seed, seed,
              presses);
  std::fflush(stdout);
  const MemoryLimit limit = LimitFor(presses);

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
  // A long run waits out every sound before it reads the memory; make test's short one, less.
  const auto memoryWindow = std::chrono::milliseconds(presses > 1000 ? 5000 : 1000);
  int64_t settledMemory = 0, firstMemory = 0, lastMemory = 0;
  int32_t firstPresses = 0, nextCheckpoint = 500, boxesAtLimit = 0;
  std::optional<test_support::RuntimeCounts> countsAtLimit, lastCounts;
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
    if (sent >= nextCheckpoint || sent == presses) {
      const int64_t memory = lastMemory = SettledMemory(game, memoryWindow);
      if (!firstMemory) {
        firstMemory = memory;
        firstPresses = sent;
      }
      const auto counts = lastCounts = game.Counts();
      if (!settledMemory && (sent >= limit.from || sent == presses)) {
        settledMemory = memory;
        boxesAtLimit = boxesAnswered;
        countsAtLimit = counts;
      }
      std::printf("soak: %6d presses, %4d boxes answered: %.2f MB (%+.2f MB since %d presses)\n", sent,
                  boxesAnswered, Megabytes(memory), Megabytes(memory - firstMemory), firstPresses);
      if (counts)
        std::printf(
            "soak:   %d targets, %d window records, %d fonts, %d open files, %lld strings; heaps %d: %lld "
            "blocks, %.2f MB; private %.2f MB; %d threads\n",
            counts->targets, counts->windowRecords, counts->fonts, counts->openFiles,
            static_cast<long long>(counts->liveStrings), counts->heaps,
            static_cast<long long>(counts->heapBlocks), Megabytes(counts->heapBusyBytes),
            Megabytes(counts->privateBytes), counts->threads);
      std::fflush(stdout);
      while (nextCheckpoint <= sent) nextCheckpoint = nextCheckpoint == 500 ? 1000 : nextCheckpoint + 1000;
    }
  }
  ASSERT_GT(settledMemory, 0) << "the game's memory could not be read";
  const int64_t grown = lastMemory - settledMemory, boxesSince = boxesAnswered - boxesAtLimit;
  const int64_t wineShare = wineBytesPerBox * boxesSince;
  std::printf(
      "soak: %d presses in %d bursts, %d words solved, %d games lost, %d boxes answered; memory grew "
      "%.2f MB from %d presses (%.2f MB) to the end, where Wine's share of its %lld boxes is up to "
      "%.2f MB\n",
      sent, bursts, wordsSolved, gamesLost, boxesAnswered, Megabytes(grown), limit.from,
      Megabytes(settledMemory), static_cast<long long>(boxesSince), Megabytes(wineShare));
  EXPECT_LE(grown, limit.growth + wineShare) << "the game's memory grew from " << limit.from << " presses on";
  if (countsAtLimit && lastCounts) {
    const auto& from = *countsAtLimit;
    const auto& to = *lastCounts;
    EXPECT_EQ(to.targets, from.targets);
    EXPECT_EQ(to.windowRecords, from.windowRecords);
    EXPECT_EQ(to.fonts, from.fonts);
    EXPECT_EQ(to.openFiles, from.openFiles);
    EXPECT_LE(to.heapBlocks - from.heapBlocks, boxesSince + spareHeapBlocks)
        << "the heaps kept more than Wine's one block a box from " << limit.from << " presses on";
  }
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
