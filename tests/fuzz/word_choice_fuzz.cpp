// The word choice over an arbitrary dic.txt: every word it accepts is 3 to 26 bytes, folded and
// lower-cased, masked with as many "-"; when nothing is acceptable it gives up.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game_state.h"
#include "game/word_list.h"
#include "runtime/text/string_ops.h"
#include "tests/fuzz/fuzz_word_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  game::gameState = game::GameState();
  fuzz::UseWordList(data, size);
  game::ClearUsedLines();
  for (int round = 0; round < 3; ++round) {
    if (!game::ChooseNextWord()) {
      // Giving up means every line was tried, or the list could not be opened.
      if (game::UsedLineCount() != game::UsableLines && game::UsedLineCount() != 1) abort();
      break;
    }
    const std::string word(game::gameState.word.view());
    if (word.size() < 3 || word.size() > 26) abort();
    // Already lower case: lowering again changes nothing.
    if (runtime::toLower(game::gameState.word).view() != word) abort();
    // Folded: an accented vowel of the folding table is left only where lowering made it from a
    // capital (Ó gives ó), which the list must then hold.
    for (const char byte : word) {
      const runtime::ByteString one(&byte, 1);
      if (game::FoldAccents(one).view() != one.view() &&
          std::memchr(data, static_cast<unsigned char>(byte) - 0x20, size) == nullptr)
        abort();
    }
    if (std::string(game::gameState.maskedWord.view()) != std::string(word.size(), '-')) abort();
  }
  return 0;
}
