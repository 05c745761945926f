// The real letrazul.exe played from another process, as a player would: the window, the menu
// commands, whole games on the letter pad, presses that are no guesses, the message boxes, the
// word list's folder, the exit code, and a burst of input while the game is busy.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/rules.h"
#include "game/word_list.h"
#include "shell/pad_press.h"
#include "tests/e2e/game_driver.h"
#include "tests/support/shown_state.h"
#include "tests/support/temp_folder.h"

namespace e2e {
namespace {

using game::GameState;

constexpr uint32_t newGame = 1002, author = 1007, quit = 1005;

// What the screen shows of a game state.
constexpr auto Shown = test_support::ShownState;

// A list whose every line is `word`, so every choice takes it.
std::string ListOf(const std::string& word) {
  std::string list;
  for (int32_t i = 0; i < game::UsableLines; ++i) list += word + "\r\n";
  return list;
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

class PlayTest : public testing::Test {
 protected:
  // A game that does not come up fails the test at once, through ASSERT_NO_FATAL_FAILURE, instead
  // of waiting out every later step.
  void StartWith(const std::optional<std::string>& list, const std::filesystem::path& folder) {
    ASSERT_TRUE(game.Start(Program(), folder, list)) << "the game window did not come up";
    // The run that plays the shipped 32-bit build says so, and this makes sure it is the one played.
    if (const char* bits = std::getenv("LETRAZUL_GAME_BITS")) {
      EXPECT_EQ(game.Bits(), std::atoi(bits));
    }
  }
  void StartWith(const std::optional<std::string>& list) { StartWith(list, temp.path() / "juego"); }

  void ExpectScreen(const GameState& state, const char* name, int32_t pressedKey = 0, Area ignored = {}) {
    EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(state, pressedKey), name, 15000, ignored)) << name;
  }
  void Type(const std::string& letters) {
    for (char letter : letters) game.PressLetter(letter);
  }
  Box ExpectBox(const wchar_t* caption) {
    const auto box = game.WaitForBox();
    EXPECT_TRUE(box) << "no message box came";
    if (!box) return {};
    EXPECT_EQ(box->caption, caption);
    return *box;
  }
  void ExpectExit() {
    const auto code = game.WaitForExit();
    ASSERT_TRUE(code) << "the game did not end; its window "
                      << (IsWindow(game.window()) ? "is still there" : "is gone") << ", "
                      << game.Boxes().size() << " boxes";
    EXPECT_EQ(*code, 0u);
  }

  // The window where it belongs, its first frame, and a pad that ignores presses until a game starts.
  void CheckTheWindowAndItsFirstFrame() {
    RECT outer{}, client{};
    GetWindowRect(game.window(), &outer);
    GetClientRect(game.window(), &client);
    EXPECT_EQ(outer.left, 105);
    EXPECT_EQ(outer.top, 114);
    EXPECT_EQ(client.right, 800);
    const auto style = static_cast<uint32_t>(GetWindowLongW(game.window(), GWL_STYLE));
    EXPECT_EQ(style & WS_CAPTION, static_cast<uint32_t>(WS_CAPTION));
    EXPECT_EQ(style & WS_SYSMENU, 0u) << "no system menu, so no caption buttons";
    ExpectScreen(GameState(), "first-frame");

    game.PressLetter('a');
    game.Press(9, 560);
    EXPECT_TRUE(game.WaitUntilStill(500));
    EXPECT_EQ(Differences(game.Screen(), ExpectedFrame(GameState())), 0) << "no key turned yellow";
    EXPECT_TRUE(game.Boxes().empty());
  }

  // "Autor" opens its four lines; the box is left open.
  Box CheckTheAuthorMessage() {
    game.Command(author);
    Box box = ExpectBox(L"Programador ...");
    const std::vector<std::wstring> lines = Lines(box.text);
    EXPECT_EQ(lines.size(), 4u) << "four lines";
    if (lines.size() == 4) {
      EXPECT_EQ(lines[0], L"Programa realizado por Quimbal Espa\u00F1a ...");
      EXPECT_EQ(lines[1], L"https://letrazul.example.org");
      EXPECT_EQ(lines[2], L"Visitame ...");
      EXPECT_EQ(lines[3], L"Gracias !!");
    }
    return box;
  }

  // With no dic.txt beside the game, "Nueva Partida" says so at once and the pad stays idle.
  void CheckTheNoWordMessage() {
    game.Command(newGame);
    const auto box = game.WaitForBox(3000);
    ASSERT_TRUE(box) << "no message within 3 seconds";
    EXPECT_EQ(box->caption, L"Letrazul");
    EXPECT_NE(box->text.find(L"dic.txt"), std::wstring::npos)
        << std::string(box->text.begin(), box->text.end());
    EXPECT_TRUE(Game::Close(*box));
    ExpectScreen(GameState(), "no-word");
    game.PressLetter('a');
    EXPECT_TRUE(game.WaitUntilStill(300));
    EXPECT_TRUE(game.Boxes().empty()) << "the pad is idle again";
  }

  // On a list of "sol" only: misses, a lost word, reveals, ten solved words and a life back, then
  // the lost game with its box and its final frame, which further presses leave as it is.
  void PlayAWholeGame() {
    game.Command(newGame);
    ExpectScreen(Shown("---", "", 3, 0, 0, ""), "new-game");

    Type("abcde");
    ExpectScreen(Shown("---", "", 3, 5, 0, "a b c d e "), "five-misses");
    Type("f");
    ExpectScreen(Shown("---", "sol", 2, 0, 0, ""), "word-lost");

    for (int32_t solved = 1; solved <= 10; ++solved) {
      Type("s");
      if (solved == 1) ExpectScreen(Shown("s--", "sol", 2, 0, 0, ""), "letter-found");
      Type("ol");
      ExpectScreen(Shown("---", "sol", solved == 10 ? 3 : 2, 0, solved, ""), "word-solved");
    }

    Type(std::string("abcdef") + "abcdef" + "abcdef");
    const GameState lost = Shown("---", "sol", 0, 6, 10, "a b c d e f ");
    const Box over = ExpectBox(L"Programador");
    EXPECT_EQ(over.text, L"GAME OVER");
    ExpectScreen(lost, "game-over", 0, game.AreaOf(over));
    EXPECT_TRUE(Game::Close(over));
    ExpectScreen(lost, "game-over-closed");

    // Another press shows the pressed key over the same state and the box again; nothing changes.
    game.PressLetter('x');
    const Box again = ExpectBox(L"Programador");
    EXPECT_EQ(again.text, L"GAME OVER");
    EXPECT_TRUE(Game::Close(again));
    ExpectScreen(lost, "game-over-pressed", KeyOf('x'));
  }

  test_support::TempFolder temp;
  Game game;
};

TEST_F(PlayTest, TheWindowAndItsFirstFrameWhichIgnoresThePadUntilAGameStarts) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  CheckTheWindowAndItsFirstFrame();
}

TEST_F(PlayTest, AWholeGameOfSolvedAndLostWordsALifeBackAndGameOver) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  PlayAWholeGame();
  game.Command(quit);
  ExpectExit();
}

// A list as Notepad saves it: UTF-8 with its mark, Linux line ends, a capital with an accent and
// blanks around. Its one word is played, and the next choice says at once that the list is used up,
// the score left on screen.
TEST_F(PlayTest, AListOfThePlayersOwnPlaysToItsEnd) {
  ASSERT_NO_FATAL_FAILURE(StartWith("\xEF\xBB\xBF  CAMI\xC3\x93N \t\nde\n"));
  game.Command(newGame);
  ExpectScreen(Shown("------", "", 3, 0, 0, ""), "new-game");
  Type("camion");
  const Box box = ExpectBox(L"Letrazul");
  EXPECT_EQ(box.text, L"Ya han salido todas las palabras de dic.txt. Palabras acertadas: 1.");
  EXPECT_TRUE(Game::Close(box));
  ExpectScreen(Shown("camion", "camion", 3, 0, 1, ""), "used-up");
  game.Command(quit);
  ExpectExit();
}

TEST_F(PlayTest, PressesOutsideTheKeysOtherButtonsAndTypingMakeNoGuess) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  game.Command(newGame);
  ExpectScreen(Shown("---", "", 3, 0, 0, ""), "new-game");
  const POINT noKey[] = {{100, 549}, {100, 580}, {9, 560},   {395, 560}, {572, 560},
                         {597, 560}, {617, 560}, {715, 560}, {400, 300}};
  for (const POINT& at : noKey) game.Press(at.x, at.y);
  const LPARAM onA = MAKELPARAM(KeyX(1), 565);
  game.PostToCanvas(WM_RBUTTONDOWN, MK_RBUTTON, onA);
  game.PostToCanvas(WM_RBUTTONUP, 0, onA);
  game.PostToCanvas(WM_LBUTTONDBLCLK, MK_LBUTTON, onA);
  game.PostToCanvas(WM_KEYDOWN, 'A', 0x001E0001);
  game.PostToCanvas(WM_CHAR, 'a', 0x001E0001);
  game.PostToCanvas(WM_KEYUP, 'A', 0xC01E0001);
  // Handled in order, so only this press shows.
  game.PressLetter('x');
  ExpectScreen(Shown("---", "", 3, 1, 0, "x "), "one-miss");
}

TEST_F(PlayTest, TheAuthorMessageLeavesTheWindowUsableBehindIt) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  const Box box = CheckTheAuthorMessage();
  game.Command(newGame);
  game.PressLetter('s');
  ExpectScreen(Shown("s--", "", 3, 0, 0, ""), "behind-the-box", 0, game.AreaOf(box));
  EXPECT_EQ(game.Boxes().size(), 1u);
  EXPECT_TRUE(Game::Close(box));
  ExpectScreen(Shown("s--", "", 3, 0, 0, ""), "box-closed");
}

TEST_F(PlayTest, QuittingDuringAGameEndsWithExitCodeZero) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  game.Command(newGame);
  game.PressLetter('o');
  ExpectScreen(Shown("-o-", "", 3, 0, 0, ""), "mid-game");
  game.Command(quit);
  ExpectExit();
}

TEST_F(PlayTest, WithoutAWordListANewGameSaysSoAtOnce) {
  ASSERT_NO_FATAL_FAILURE(StartWith(std::nullopt));
  ExpectScreen(GameState(), "first-frame");
  CheckTheNoWordMessage();
  game.Command(quit);
  ExpectExit();
}

// Everything above in one game process, for builds whose every start is costly (the shipped 32-bit
// program run under emulation): the list is missing until after the first "Nueva Partida".
TEST_F(PlayTest, TheWholeTourInOneProcess) {
  const std::filesystem::path folder = temp.path() / "juego";
  ASSERT_NO_FATAL_FAILURE(StartWith(std::nullopt, folder));
  CheckTheWindowAndItsFirstFrame();
  CheckTheNoWordMessage();
  EXPECT_TRUE(Game::Close(CheckTheAuthorMessage()));
  ExpectScreen(GameState(), "author-closed");
  {
    std::ofstream list(folder / "dic.txt", std::ios::binary);
    list << ListOf("sol");
  }
  PlayAWholeGame();
  game.Command(quit);
  ExpectExit();
}

// The game once took its folder from its path as an ANSI text of at most 254 characters, which
// loses the letters the code page lacks ("Ł") and the end of a long path. Wine starts no program
// from a path of MAX_PATH characters or more, so 258 is the longest tried here; the text-file tests
// read a list through a folder of over 300.
TEST_F(PlayTest, TheGameFindsItsWordsInFoldersOfAnyNameAndLength) {
  std::filesystem::path deep = temp.path();
  while (deep.wstring().size() + 46 < 245) deep /= std::wstring(45, L'j');
  deep /= std::wstring(245 - deep.wstring().size() - 1, L'k');
  ASSERT_EQ((deep / "letrazul.exe").wstring().size(), 258u);
  for (const std::filesystem::path& folder : {temp.path() / L"\u0141ukasz Juegos", deep}) {
    SCOPED_TRACE(folder.wstring().size());
    Game here;
    ASSERT_TRUE(here.Start(Program(), folder, ListOf("mar"))) << "the game window did not come up";
    here.Command(newGame);
    here.PressLetter('m');
    EXPECT_TRUE(here.WaitForScreen(ExpectedFrame(Shown("m--", "", 3, 0, 0, "")), "long-or-polish"));
    EXPECT_TRUE(here.Boxes().empty());
    here.Command(quit);
    const auto code = here.WaitForExit();
    ASSERT_TRUE(code);
    EXPECT_EQ(*code, 0u);
  }
}

// Everything arrives while frames are being composed and words chosen; every input is carried
// out, in order, so the game ends where the same inputs played one by one end.
TEST_F(PlayTest, TwoHundredInputsSentWhileTheGameIsBusyAreAllHandledInOrder) {
  ASSERT_NO_FATAL_FAILURE(StartWith(ListOf("sol")));
  ExpectScreen(GameState(), "first-frame");
  struct Input {
    bool command;
    char letter;
  };
  std::vector<Input> inputs;
  inputs.reserve(200);
  const std::string letters = "soxlqsolzso";
  // Two new games; the second runs longest, so its end is a state no earlier input shows.
  for (int i = 0; i < 200; ++i)
    inputs.push_back(i == 0 || i == 60 ? Input{true, 0}
                                       : Input{false, letters[static_cast<size_t>(i) % letters.size()]});

  // The same inputs, one by one, in this process.
  game::gameState = GameState();
  game::gameState.programFolder = temp.widePrefix();
  temp.write("dic.txt", ListOf("sol"));
  for (const Input& input : inputs) {
    if (input.command)
      game::StartNewGame();
    else
      shell::HandlePadPress(static_cast<uint32_t>(MAKELPARAM(KeyX(KeyOf(input.letter)), 565)));
  }
  const GameState expected = game::gameState;
  ASSERT_EQ(expected.gameOver, 0) << "the inputs are meant to keep the game going";

  for (const Input& input : inputs)
    if (input.command)
      game.Command(newGame);
    else
      game.PressLetter(input.letter);
  EXPECT_TRUE(game.WaitForScreen(ExpectedFrame(expected), "after-200-inputs", 120000));
  EXPECT_TRUE(game.Boxes().empty());
  EXPECT_TRUE(game.Running());
  game.Command(quit);
  ExpectExit();
}

}  // namespace
}  // namespace e2e
