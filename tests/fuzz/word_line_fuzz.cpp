// One line of an arbitrary dic.txt as the word choice reads it: line n, reached by passing over
// the lines before it, must be the line that reading every one of them reaches, cut at its first
// NUL and to 122 bytes, with the list closed again. The word choice itself tries thousands of line
// numbers per input; this reads one, so it runs many more inputs.
// Input: [n - 1, modulo 16] [the list].
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "game/word_list.h"
#include "runtime/text/text_file.h"
#include "tests/fuzz/fuzz_word_list.h"

namespace {

// Line n by reading each line up to it, as a reader with no way to skip would.
std::string ReadUpTo(int32_t n) {
  constexpr int16_t file = 2;
  runtime::openForInput(fuzz::WordListPath().u16string(), file, 128);
  std::string line;
  for (int32_t i = 1; i <= n; ++i) {
    if (i > 1 && runtime::atEnd(file)) {
      line.clear();
      break;
    }
    line = std::string(runtime::readLine(file).view());
  }
  runtime::closeFile(file);
  line.resize(std::min({line.find('\0'), line.size(), size_t{122}}));
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t n = 1 + data[0] % 16;
  fuzz::UseWordList(data + 1, size - 1);
  bool missing = true, unread = true;
  const std::string line(game::ReadWordLine(n, &missing, &unread).view());
  if (missing || unread) abort();  // the list is there and can be read
  if (runtime::openFileCount() != 0) abort();
  if (line != ReadUpTo(n)) abort();
  return 0;
}
