// Whole games played through StartNewGame and EvaluateGuess, with the screen, sound and box
// requests recorded and the game's invariants checked at every one of them.
#include "game/rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/word_list.h"
#include "tests/support/recording_pump.h"
#include "tests/support/recording_requests.h"
#include "tests/support/temp_folder.h"

namespace game {
namespace {

using test_support::box;
using test_support::refresh;
using test_support::Request;
using test_support::requestLog;
using test_support::sound;

const std::string missingListMessage =
    "No se ha podido elegir una palabra: falta el archivo dic.txt junto al programa.";

// A game ends with lives left only when it has no next word: the frame that shows it, then the
// box that says why (titled "Letrazul"; GAME OVER's is "Programador").
bool noWordFrameShown = false;
bool noWordSaid = false;

// What must hold whenever the rules hand something to the screen, the speaker or a box.
void CheckInvariants() {
  const GameState& s = gameState;
  ASSERT_EQ(s.maskedWord.size(), s.word.size()) << "mask and word differ in length";
  for (int32_t i = 0; i < s.word.size(); ++i)
    EXPECT_TRUE(s.maskedWord.byteAt(i) == '-' || s.maskedWord.byteAt(i) == s.word.byteAt(i))
        << "position " << i;
  EXPECT_GE(s.misses, 0);
  EXPECT_LE(s.misses, MissLimit);
  EXPECT_EQ(s.wrongLetters.size(), 2 * s.misses) << "each miss is a letter and a blank";
  if (s.gameStarted) {
    EXPECT_GE(s.lives, 0);
    EXPECT_LE(s.lives, StartLives);
    if (s.lives == 0) {
      EXPECT_EQ(s.gameOver, 1);
    }
  }
  const Request& request = requestLog.requests.back();
  if (!s.gameOver) noWordSaid = false;
  if (noWordFrameShown) {
    EXPECT_TRUE(request.kind == Request::Box && request.title == "Letrazul")
        << "a game ended with lives left, and the next request is not the box that says why";
    noWordFrameShown = false;
    noWordSaid = true;
  } else if (s.gameOver && s.lives > 0 && !noWordSaid) {
    EXPECT_EQ(request.kind, Request::Refresh) << "a game ended with lives left, and words to play";
    noWordFrameShown = true;
  }
}

class RulesTest : public testing::Test {
 protected:
  void SetUp() override {
    gameState = GameState();
    gameState.programFolder = folder.widePrefix();
    gameState.programDir = folder.prefix();
    ClearUsedLines();
    test_support::pump = {};
    requestLog = {};
    requestLog.onRequest = CheckInvariants;
    noWordFrameShown = noWordSaid = false;
  }
  void TearDown() override {
    EXPECT_FALSE(noWordFrameShown) << "the game ended with lives left and said nothing";
  }

  // Every usable line holds `word`, so every choice takes it at once.
  void useWord(const std::string& word) {
    std::string list;
    for (int32_t i = 0; i < UsableLines; ++i) list += word + "\r\n";
    folder.write("dic.txt", list);
  }
  void removeList() { std::filesystem::remove(folder.path() / "dic.txt"); }

  // The requests since the last call.
  std::vector<Request> requests() { return std::exchange(requestLog.requests, {}); }

  void press(char letter) {
    gameState.currentGuess = ByteString(std::string(1, letter));
    EvaluateGuess();
  }
  // Presses each letter of the word that the pad has, once; returns the requests of the last press.
  std::vector<Request> solve() {
    const std::string word(gameState.word.view());
    std::string pressed;
    for (char letter : word)
      if (((letter >= 'a' && letter <= 'z') || letter == '\xF1') &&
          pressed.find(letter) == std::string::npos) {
        pressed += letter;
        requests();
        press(letter);
      }
    return requests();
  }
  // Misses with letters the word lacks until it is lost; returns the requests of the last press.
  std::vector<Request> lose() {
    const std::string word(gameState.word.view());
    std::string missing;
    for (char letter : std::string("xqwkjyvh"))
      if (word.find(letter) == std::string::npos) missing += letter;
    for (int16_t i = gameState.misses; i < MissLimit; ++i) {
      requests();
      press(missing[static_cast<size_t>(i)]);
    }
    return requests();
  }

  void expectStartState() {
    const GameState& s = gameState;
    EXPECT_TRUE(s.word.empty() && s.maskedWord.empty() && s.lastWord.empty() && s.wrongLetters.empty());
    EXPECT_EQ(s.lives, 0);
    EXPECT_EQ(s.misses, 0);
    EXPECT_EQ(s.wordsSolved, 0);
    EXPECT_EQ(s.gameOver, 0);
    EXPECT_EQ(s.gameStarted, 0);
    EXPECT_EQ(s.programFolder, folder.widePrefix()) << "the program's folder is kept";
    EXPECT_EQ(s.programDir.text(), folder.prefix());
  }

  test_support::TempFolder folder;
};

TEST_F(RulesTest, ANewGameStartsOverFromAnyStateAndAnnouncesItself) {
  useWord("banana");
  gameState.word = gameState.lastWord = ByteString("viejo");
  gameState.maskedWord = ByteString("v----");
  gameState.lives = 1;
  gameState.misses = 1;
  gameState.wrongLetters = ByteString("x ");
  gameState.wordsSolved = 14;
  gameState.gameOver = 1;
  StartNewGame();
  const GameState& s = gameState;
  EXPECT_EQ(s.word.view(), "banana");
  EXPECT_EQ(s.maskedWord.view(), "------");
  EXPECT_TRUE(s.lastWord.empty()) << "the abandoned game's word is not shown";
  EXPECT_EQ(s.lives, 3);
  EXPECT_EQ(s.misses, 0);
  EXPECT_EQ(s.wordsSolved, 0);
  EXPECT_TRUE(s.wrongLetters.empty());
  EXPECT_EQ(s.gameOver, 0);
  EXPECT_EQ(s.gameStarted, 1);
  EXPECT_EQ(requests(), (std::vector{refresh(), sound("#301")}));
}

TEST_F(RulesTest, AFoundLetterRevealsEveryPositionEveryTimeItIsPressed) {
  useWord("banana");
  StartNewGame();
  requests();
  for (int round = 0; round < 2; ++round) {
    press('a');
    EXPECT_EQ(gameState.maskedWord.view(), "-a-a-a");
    EXPECT_EQ(gameState.misses, 0);
    EXPECT_EQ(requests(), (std::vector{sound("#303"), sound("#303"), sound("#303"), refresh()}));
  }
}

TEST_F(RulesTest, AMissedLetterCountsEveryTimeItIsPressed) {
  useWord("casa");
  StartNewGame();
  requests();
  press('x');
  EXPECT_EQ(requests(), (std::vector{sound("#302"), refresh()}));
  press('x');
  EXPECT_EQ(gameState.misses, 2);
  EXPECT_EQ(gameState.wrongLetters.view(), "x x ");
}

TEST_F(RulesTest, TheSixthMissLosesTheWordAndALife) {
  useWord("casa");
  StartNewGame();
  press('c');
  // The next word is shown, then the screen is refreshed once more.
  EXPECT_EQ(lose(), (std::vector{sound("#302"), refresh(), sound("#305"), refresh()}));
  const GameState& s = gameState;
  EXPECT_EQ(s.lives, 2);
  EXPECT_EQ(s.misses, 0);
  EXPECT_TRUE(s.wrongLetters.empty());
  EXPECT_EQ(s.lastWord.view(), "casa");
  EXPECT_EQ(s.maskedWord.view(), "----") << "a fresh word";
}

TEST_F(RulesTest, TheLastLifeEndsTheGameAndLaterPressesChangeNothing) {
  useWord("casa");
  StartNewGame();
  gameState.lives = 1;
  gameState.wordsSolved = 7;
  press('a');
  EXPECT_EQ(lose(), (std::vector{sound("#302"), refresh(), sound("#300"), box("GAME OVER", "Programador")}));
  const GameState& s = gameState;
  EXPECT_EQ(s.lives, 0);
  EXPECT_EQ(s.gameOver, 1);
  EXPECT_EQ(s.lastWord.view(), "casa") << "the unsolved word is shown";
  EXPECT_EQ(s.maskedWord.view(), "-a-a");
  EXPECT_EQ(s.misses, 6);
  EXPECT_EQ(s.wrongLetters.view(), "x q w k j y ");
  EXPECT_EQ(s.wordsSolved, 7);

  const GameState before = gameState;
  for (char letter : {'c', 'x', 's'}) {
    press(letter);
    EXPECT_EQ(gameState.currentGuess.view(), std::string(1, letter));
    gameState.currentGuess = before.currentGuess;
    EXPECT_EQ(gameState.maskedWord, before.maskedWord);
    EXPECT_EQ(gameState.wrongLetters, before.wrongLetters);
    EXPECT_EQ(gameState.misses, before.misses);
    EXPECT_EQ(gameState.lives, before.lives);
    EXPECT_EQ(gameState.gameOver, 1);
  }
  EXPECT_TRUE(requests().empty());
}

TEST_F(RulesTest, EveryTenthSolvedWordGivesBackALifeUpToThree) {
  useWord("sol");
  struct Case {
    int16_t lives;
    int32_t solved;
    int16_t livesAfter;
  } cases[] = {{2, 9, 3}, {3, 9, 3}, {2, 10, 2}, {2, 19, 3}, {1, 29, 2}, {1, 8, 1}};
  for (const auto& c : cases) {
    StartNewGame();
    gameState.lives = c.lives;
    gameState.wordsSolved = c.solved;
    press('x');  // a miss that solving clears
    EXPECT_EQ(solve(), (std::vector{sound("#303"), refresh(), refresh(), sound("#304")}));
    const GameState& s = gameState;
    EXPECT_EQ(s.wordsSolved, c.solved + 1);
    EXPECT_EQ(s.lives, c.livesAfter) << c.lives << " lives, word " << c.solved + 1;
    EXPECT_EQ(s.misses, 0);
    EXPECT_TRUE(s.wrongLetters.empty());
    EXPECT_EQ(s.lastWord.view(), "sol");
    EXPECT_EQ(s.maskedWord.view(), "---");
  }
}

TEST_F(RulesTest, AWholeGameFromFirstWordToGameOver) {
  useWord("luz");
  StartNewGame();
  lose();
  lose();
  EXPECT_EQ(gameState.lives, 1);
  for (int i = 0; i < 20; ++i) solve();
  EXPECT_EQ(gameState.lives, 3) << "lives came back with the 10th and the 20th word";
  lose();
  lose();
  EXPECT_EQ(lose().back(), box("GAME OVER", "Programador"));
  EXPECT_EQ(gameState.wordsSolved, 20);
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(UsedLineCount(), 1 + 5 + 20 - 1) << "one fresh line per word; none after the last";
}

TEST_F(RulesTest, PressesBeforeTheFirstGameDoNothing) {
  useWord("sol");
  press('s');
  EXPECT_TRUE(requests().empty());
  EXPECT_EQ(UsedLineCount(), 0);
  expectStartState();
}

TEST_F(RulesTest, WithoutAWordListANewGameSaysSoAndWaitsForTheNext) {
  StartNewGame();
  EXPECT_EQ(requests(), (std::vector{refresh(), box(missingListMessage, "Letrazul")}));
  expectStartState();
  press('a');
  EXPECT_TRUE(requests().empty());
  // The player puts the list back and tries again.
  useWord("sol");
  StartNewGame();
  EXPECT_EQ(gameState.word.view(), "sol");
  EXPECT_EQ(requests(), (std::vector{refresh(), sound("#301")}));
}

// Without a next word the game ends as a lost one does, keeping what the player won: words, lives.
TEST_F(RulesTest, AGameWithoutANextWordEndsWithItsScoreOnScreen) {
  useWord("sol");
  StartNewGame();
  removeList();
  // After a solved word: the frame of step 5, then the final frame and the message.
  EXPECT_EQ(solve(), (std::vector{sound("#303"), refresh(), refresh(), box(missingListMessage, "Letrazul")}));
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(gameState.wordsSolved, 1);
  EXPECT_EQ(gameState.lives, 3);
  press('s');
  EXPECT_TRUE(requests().empty()) << "the pad waits for a new game";

  useWord("sol");
  StartNewGame();
  removeList();
  // After a lost word with lives left: no second frame and no sound.
  EXPECT_EQ(lose(), (std::vector{sound("#302"), refresh(), box(missingListMessage, "Letrazul")}));
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(gameState.lives, 2);

  // Every word of a three-word list played: said at once, with the words solved.
  folder.write("dic.txt", "sol\r\nmar\r\npez\r\n");
  StartNewGame();
  solve();
  lose();
  EXPECT_EQ(solve().back(),
            box("Ya han salido todas las palabras de dic.txt. Palabras acertadas: 2.", "Letrazul"));
  EXPECT_EQ(gameState.gameOver, 1);
  EXPECT_EQ(gameState.lives, 2);
  StartNewGame();
  EXPECT_EQ(gameState.gameOver, 0);
}

}  // namespace
}  // namespace game
