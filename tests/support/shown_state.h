// A game state given by what a frame draws of it: the masked and last words, the lives, the two
// counters and the wrong letters.
#pragma once

#include <cstdint>

#include "game/game_state.h"

namespace test_support {

inline game::GameState ShownState(const char* masked, const char* last, int16_t lives, int16_t misses,
                                  int32_t solved, const char* wrong) {
  game::GameState s;
  s.maskedWord = runtime::ByteString(masked);
  s.lastWord = runtime::ByteString(last);
  s.lives = lives;
  s.misses = misses;
  s.wordsSolved = solved;
  s.wrongLetters = runtime::ByteString(wrong);
  return s;
}

}  // namespace test_support
