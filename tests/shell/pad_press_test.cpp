// Presses on the Canvas: which x is which key, which presses count, the pressed-key frame, the
// guess, and "GAME OVER" after the game is lost.
#include "shell/pad_press.h"

#include <gtest/gtest.h>

#include <string>

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/screen.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/recording_pump.h"
#include "tests/support/recording_requests.h"

namespace shell {
namespace {

using game::gameState;
using runtime::ByteString;

TEST(HitTestKey, FixedRangesWithGapsBetweenSomeKeys) {
  const struct {
    uint32_t x;
    int32_t key;
  } cases[] = {{9, 0},    {10, 1},   {39, 1},   {40, 2},   {359, 12}, {360, 13}, {389, 13},
               {390, 0},  {399, 0},  {400, 14}, {430, 15}, {459, 15}, {460, 16}, {570, 19},
               {571, 0},  {574, 0},  {575, 20}, {595, 20}, {596, 0},  {599, 0},  {600, 21},
               {615, 21}, {616, 0},  {619, 0},  {620, 22}, {709, 24}, {710, 0},  {719, 0},
               {720, 25}, {780, 27}, {800, 27}, {801, 0},  {0, 0},    {65535, 0}};
  for (const auto& c : cases) EXPECT_EQ(game::HitTestKey(c.x), c.key) << "x " << c.x;
}

uint32_t at(uint32_t x, uint32_t y) {
  return x | y << 16;
}

class PadPressTest : public testing::Test {
 protected:
  void SetUp() override {
    game::ReleaseScreen();
    test_support::resetCanvas();
    test_support::pump = {};
    test_support::requestLog = {};
    gameState = game::GameState();
    game::mainDialog = 7000;
    game::keyFont = game::GameFont(game::KeySize);
    game::wordFont = game::GameFont(game::WordPoints);
  }
  void TearDown() override { game::ReleaseScreen(); }

  // A game under way on "sol" with "-o-" found.
  void playing() {
    gameState.word = ByteString("sol");
    gameState.maskedWord = ByteString("-o-");
    gameState.lives = 3;
    gameState.gameStarted = 1;
  }
  bool drewAnything() const { return !test_support::canvasRecord.operations.empty(); }
};

TEST_F(PadPressTest, OnlyPressesOnAKeyDuringAGameCount) {
  const uint32_t presses[] = {at(100, 549), at(100, 580), at(9, 560),   at(801, 560), at(395, 560),
                              at(572, 560), at(597, 560), at(617, 560), at(715, 560)};
  playing();
  for (uint32_t press : presses) HandlePadPress(press);
  gameState.gameStarted = 0;
  HandlePadPress(at(10, 550));
  EXPECT_FALSE(drewAnything());
  EXPECT_TRUE(test_support::requestLog.requests.empty());
  EXPECT_TRUE(gameState.currentGuess.empty());
  EXPECT_EQ(gameState.misses, 0);
}

TEST_F(PadPressTest, APressShowsTheKeyInYellowThenGuessesItsLetter) {
  playing();
  HandlePadPress(at(430, 579));  // ñ, on the band's last row
  EXPECT_EQ(gameState.currentGuess.view(), "\xF1");
  EXPECT_EQ(gameState.misses, 1);
  EXPECT_EQ(gameState.wrongLetters.view(), "\xF1 ");
  bool yellow = false;
  for (const auto& print : test_support::canvasRecord.prints)
    yellow |= print.text == "\xF1" && print.foreground == game::PressedKeyColour && print.x == 430;
  EXPECT_TRUE(yellow) << "the pressed-key frame";
  EXPECT_EQ(test_support::requestLog.requests.front(), test_support::sound("#302"));
}

TEST_F(PadPressTest, AfterTheGameIsLostAPressShowsGameOverAndChangesNothing) {
  playing();
  gameState.lives = 0;
  gameState.misses = 6;
  gameState.gameOver = 1;
  HandlePadPress(at(39, 579));
  EXPECT_EQ(gameState.currentGuess.view(), "a");
  EXPECT_EQ(gameState.misses, 6);
  EXPECT_EQ(test_support::requestLog.requests, (std::vector{test_support::box("GAME OVER", "Programador")}))
      << "no sound, no other frame";
  EXPECT_TRUE(drewAnything());
}

}  // namespace
}  // namespace shell
