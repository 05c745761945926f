// The round rules over GameState, with their screen, sound and message-box requests in order.
#include "game/rules.h"

#include <string_view>
#include <utility>

#include "game/game_state.h"
#include "game/screen.h"
#include "game/word_list.h"
#include "runtime/media/message_box.h"
#include "runtime/media/sound.h"
#include "runtime/text/string_ops.h"

namespace game {

using namespace runtime;

namespace {

constexpr std::string_view GameLostSound = "#300";
constexpr std::string_view NewGameSound = "#301";
constexpr std::string_view MissSound = "#302";
constexpr std::string_view LetterFoundSound = "#303";
constexpr std::string_view WordSolvedSound = "#304";
constexpr std::string_view WordLostSound = "#305";

// Why no word could be had, in the player's words.
ByteString NoWordMessage(WordChoice why) {
  switch (why) {
    case WordChoice::listMissing:
      return ByteString("No se ha podido elegir una palabra: falta el archivo dic.txt junto al programa.");
    case WordChoice::listUnreadable:
      return ByteString("No se ha podido elegir una palabra: no se puede leer el archivo dic.txt.");
    case WordChoice::noMemory:
      return ByteString("No se ha podido elegir una palabra: no queda memoria libre.");
    case WordChoice::listUsedUp:
      return concat(concat(ByteString("Ya han salido todas las palabras de dic.txt. Palabras acertadas:"),
                           formatNumber(gameState.wordsSolved)),
                    ByteString("."));
    case WordChoice::noUsableWord:
      return ByteString(
          "No se ha podido elegir una palabra: el archivo dic.txt no contiene palabras de 3 a 26 letras "
          "(de la a a la z, con la \xF1).");
    case WordChoice::chosen:
      break;  // a word was had: there is nothing to tell
  }
  return ByteString();
}

void PlayGameSound(std::string_view name) {
  playSound(ByteString(name), soundAsync | soundNoDefault, 0);
}

void ClearMisses() {
  gameState.misses = 0;
  gameState.wrongLetters = ByteString();
}

// Shows the frame as the game stands and tells the player why no word could be had.
void SayWhyThereIsNoWord(WordChoice why) {
  RefreshScreen();
  messageBox(NoWordMessage(why), ByteString("Letrazul"), messageBoxOk);
}

// The next word of a running game. Without one the game ends as a lost one does, its words and
// lives left on screen, and the pad answers "GAME OVER" until "Nueva Partida"; the caller ends its
// step at once.
bool NextWord() {
  const WordChoice choice = ChooseNextWord();
  if (choice == WordChoice::chosen) return true;
  gameState.gameOver = 1;
  SayWhyThereIsNoWord(choice);
  return false;
}

}  // namespace

void StartNewGame() {
  ClearUsedLines();
  gameState.lives = StartLives;
  gameState.wordsSolved = 0;
  ClearMisses();
  gameState.gameOver = 0;
  gameState.gameStarted = 1;
  if (const WordChoice choice = ChooseNextWord(); choice != WordChoice::chosen) {
    // Nothing of a game to keep: back to how the program started, so the pad stays idle.
    GameState fresh;
    fresh.programDir = gameState.programDir;
    fresh.programFolder = gameState.programFolder;
    gameState = std::move(fresh);
    SayWhyThereIsNoWord(choice);
    return;
  }
  gameState.lastWord = ByteString();  // the abandoned game's word is not shown
  RefreshScreen();
  PlayGameSound(NewGameSound);
}

void RevealLetter(int16_t p) {
  gameState.maskedWord = insertAt(eraseAt(gameState.maskedWord, p, 1), gameState.currentGuess, p);
}

void EvaluateGuess() {
  if (!gameState.gameStarted || gameState.gameOver) return;

  // A letter already found is found again, and one already missed is missed again.
  const int32_t n = length(gameState.word);
  int16_t unmatched = 0;
  for (int16_t p = 1; p <= n; ++p) {
    if (compare(slice(gameState.word, p, 1), gameState.currentGuess) == 0) {
      RevealLetter(p);
      PlayGameSound(LetterFoundSound);
    } else {
      ++unmatched;
    }
  }
  if (unmatched == n) {
    gameState.wrongLetters = concat(concat(gameState.wrongLetters, gameState.currentGuess), ByteString(" "));
    ++gameState.misses;
    PlayGameSound(MissSound);
  }

  if (gameState.misses >= MissLimit) {
    --gameState.lives;
    if (gameState.lives > 0) {
      ClearMisses();
      if (!NextWord()) return;
      RefreshScreen();
      PlayGameSound(WordLostSound);
    }
  }

  if (gameState.lives == 0) {
    // The final frame keeps the six misses and shows the unsolved word above the pad.
    gameState.gameOver = 1;
    gameState.lastWord = gameState.word;
    RefreshScreen();
    PlayGameSound(GameLostSound);
    messageBox(ByteString("GAME OVER"), ByteString("Programador"), messageBoxOk);
  } else {
    RefreshScreen();
  }

  // Tested after the step above, so a fresh word after a lost one is tested against its blank mask.
  if (compare(gameState.maskedWord, gameState.word) == 0 && !gameState.gameOver) {
    ++gameState.wordsSolved;
    if (gameState.wordsSolved % BonusInterval == 0 && gameState.lives < StartLives) ++gameState.lives;
    ClearMisses();
    if (!NextWord()) return;
    RefreshScreen();
    PlayGameSound(WordSolvedSound);
  }
}

}  // namespace game
