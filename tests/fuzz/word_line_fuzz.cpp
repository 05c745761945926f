// An arbitrary dic.txt read as the word choice reads it: the words it gives, drawn until the list
// is used up, must be exactly the words of its lines, found by splitting the bytes apart from the
// game's reader (the mark of UTF-8 dropped, data up to a Ctrl-Z, lines ended by CR LF, CR or LF, cut
// at their first NUL and to 122 bytes), with the list closed again after every choice.
// Input: the list.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/word_list.h"
#include "runtime/text/text_file.h"
#include "tests/fuzz/fuzz_word_list.h"

namespace {

std::vector<std::string> WordsOfLines(std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  bytes.resize(std::min(bytes.find('\x1A'), bytes.size()));
  std::vector<std::string> words;
  size_t start = 0;
  for (int32_t n = 1; start < bytes.size() && n <= game::UsableLines; ++n) {
    const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::string line = bytes.substr(start, end - start);
    line.resize(std::min({line.find('\0'), line.size(), size_t{122}}));
    const std::string word(game::WordFromLine(runtime::ByteString(line)).view());
    if (!word.empty()) words.push_back(word);
    start = end + (bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::UseWordList(data, size);
  std::vector<std::string> left = WordsOfLines(std::string(reinterpret_cast<const char*>(data), size));
  const bool none = left.empty();
  game::ClearUsedLines();
  // A few words an input, so that many inputs run: each costs a walk over the line numbers.
  for (int round = 0; round < 6; ++round) {
    const game::WordChoice choice = game::ChooseNextWord();
    if (runtime::openFileCount() != 0) abort();
    if (choice != game::WordChoice::chosen) {
      const auto expected = none ? game::WordChoice::noUsableWord : game::WordChoice::listUsedUp;
      if (choice != expected || !left.empty()) abort();
      break;
    }
    const auto found = std::find(left.begin(), left.end(), std::string(game::gameState.word.view()));
    if (found == left.end()) abort();
    left.erase(found);
  }
  return 0;
}
