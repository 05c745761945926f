// GameState: the global variables of one game, zeroed at start and never saved.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/text/byte_string.h"
#include "runtime/text/fixed_text.h"

namespace game {

using runtime::ByteString;

struct GameState {
  ByteString word;          // lower case, accents folded, 3 to 26 bytes once chosen
  ByteString maskedWord;    // "-" for every byte of word not yet found
  ByteString lastWord;      // the word of the round that ended last
  ByteString currentGuess;  // the letter of the key pressed last
  int16_t lives = 0;
  int16_t misses = 0;
  int32_t wordsSolved = 0;
  ByteString wrongLetters;  // each missed letter followed by one blank
  int32_t gameOver = 0;     // 1 once the game has ended: the last life lost, or no word left to play
  int32_t gameStarted = 0;
  runtime::FixedText<255> programDir;  // the program's folder with its trailing backslash
  // The same folder as the system names it, whole: the word list is opened through it, so a
  // folder of any length or with characters outside the ANSI code page still finds dic.txt.
  std::u16string programFolder;
};

extern GameState gameState;

}  // namespace game
