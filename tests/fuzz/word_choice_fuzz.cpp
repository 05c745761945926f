// The word choice over an arbitrary dic.txt: every word it accepts is 3 to 26 of the pad's letters,
// masked with as many "-"; when nothing is left to give it says why, never that the list is not
// there.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "game/word_list.h"
#include "tests/fuzz/fuzz_word_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  game::gameState = game::GameState();
  fuzz::UseWordList(data, size);
  game::ClearUsedLines();
  for (int round = 0; round < 3; ++round) {
    const game::WordChoice choice = game::ChooseNextWord();
    if (choice != game::WordChoice::chosen) {
      if (choice != game::WordChoice::noUsableWord && choice != game::WordChoice::listUsedUp) abort();
      break;
    }
    const std::string word(game::gameState.word.view());
    if (word.size() < 3 || word.size() > 26) abort();
    for (const char byte : word)
      if (!((byte >= 'a' && byte <= 'z') || byte == '\xF1')) abort();
    if (std::string(game::gameState.maskedWord.view()) != std::string(word.size(), '-')) abort();
  }
  return 0;
}
