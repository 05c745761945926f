// The round rules: a new game, one pressed letter, lost and solved words, lives and the end.
#pragma once

#include <cstdint>

namespace game {

inline constexpr int16_t MissLimit = 6;       // misses that lose a word
inline constexpr int16_t StartLives = 3;      // lives at the start, and the most one can hold
inline constexpr int32_t BonusInterval = 10;  // every tenth solved word gives a life back

// Abandons any running game, chooses the first word, shows it and plays the new-game sound.
void StartNewGame();

// Applies the letter in currentGuess to the current word: reveals it, or counts a miss; loses or
// solves the word and moves on to the next, or ends the game. Does nothing unless a game is
// running, so a press before the first game or after the last life changes nothing.
void EvaluateGuess();

// Puts currentGuess into maskedWord at 1-based position p.
void RevealLetter(int16_t p);

}  // namespace game
