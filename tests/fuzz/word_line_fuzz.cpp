// An arbitrary dic.txt read as the word choice reads it: the words it gives, drawn until the list
// is used up, must be exactly the words of its lines, found apart from the game's reader (the mark
// of UTF-8 dropped, data up to a Ctrl-Z, lines ended by CR LF, CR or LF, cut at their first NUL
// and to 122 bytes, decoded by iconv, folded by the table below), with the list closed again after
// every choice.
// Input: the list.
#include <iconv.h>

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

// `bytes` as characters, decoded from `codePage` by the C library; false when they are not valid
// text of it (code page 1252 leaves five bytes undefined, none of them a letter).
bool Decode(const std::string& bytes, const char* codePage, std::u32string& text) {
  const iconv_t converter = iconv_open("UTF-32LE", codePage);
  if (converter == reinterpret_cast<iconv_t>(-1)) abort();
  text.assign(bytes.size(), U'\0');
  char* in = const_cast<char*>(bytes.data());
  char* out = reinterpret_cast<char*>(text.data());
  size_t inLeft = bytes.size(), outLeft = text.size() * sizeof(char32_t);
  const bool whole = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
  iconv_close(converter);
  text.resize(text.size() - outLeft / sizeof(char32_t));
  return whole;
}

// Every character of Latin-1 that is a letter with a grave, acute, tilde or diaeresis, as that
// letter and its combining mark.
struct Composition {
  char32_t base, mark, composed;
};
constexpr Composition compositions[] = {
    {'A', 0x300, 0xC0}, {'E', 0x300, 0xC8}, {'I', 0x300, 0xCC}, {'O', 0x300, 0xD2}, {'U', 0x300, 0xD9},
    {'a', 0x300, 0xE0}, {'e', 0x300, 0xE8}, {'i', 0x300, 0xEC}, {'o', 0x300, 0xF2}, {'u', 0x300, 0xF9},
    {'A', 0x301, 0xC1}, {'E', 0x301, 0xC9}, {'I', 0x301, 0xCD}, {'O', 0x301, 0xD3}, {'U', 0x301, 0xDA},
    {'Y', 0x301, 0xDD}, {'a', 0x301, 0xE1}, {'e', 0x301, 0xE9}, {'i', 0x301, 0xED}, {'o', 0x301, 0xF3},
    {'u', 0x301, 0xFA}, {'y', 0x301, 0xFD}, {'A', 0x303, 0xC3}, {'N', 0x303, 0xD1}, {'O', 0x303, 0xD5},
    {'a', 0x303, 0xE3}, {'n', 0x303, 0xF1}, {'o', 0x303, 0xF5}, {'A', 0x308, 0xC4}, {'E', 0x308, 0xCB},
    {'I', 0x308, 0xCF}, {'O', 0x308, 0xD6}, {'U', 0x308, 0xDC}, {'a', 0x308, 0xE4}, {'e', 0x308, 0xEB},
    {'i', 0x308, 0xEF}, {'o', 0x308, 0xF6}, {'u', 0x308, 0xFC}, {'y', 0x308, 0xFF},
};

// The pad's letter a character gives once lowered and folded, 0 for none.
char PadLetter(char32_t c) {
  if (c >= 'A' && c <= 'Z') c += 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) c += 0x20;
  if (c >= 'a' && c <= 'z') return static_cast<char>(c);
  if (c == 0xF1) return '\xF1';
  constexpr std::u32string_view accented =
      U"\u00E1\u00E0\u00E9\u00E8\u00ED\u00EC\u00F3\u00F2\u00FA\u00F9\u00FC";
  const size_t at = accented.find(c);
  return at == accented.npos ? 0 : "aaeeiioouuu"[at];
}

// The word a line gives, worked out apart from the game: UTF-8 when it is that and not plain
// ASCII, else code page 1252; each mark put on the plain letter before it; blanks and tabs
// trimmed; then 3 to 26 characters that each give a letter of the pad.
std::string WordOfLine(const std::string& line) {
  std::u32string text;
  const bool ascii = std::all_of(line.begin(), line.end(), [](char b) { return (b & 0x80) == 0; });
  const bool utf8 = !ascii && Decode(line, "UTF-8", text);
  if (!utf8 && !Decode(line, "CP1252", text)) return "";
  if (utf8) {
    std::u32string composed;
    bool plain = false;  // the last character is ASCII, and may take a mark
    for (const char32_t c : text) {
      const auto* found = std::find_if(
          std::begin(compositions), std::end(compositions),
          [&](const Composition& x) { return plain && x.base == composed.back() && x.mark == c; });
      if (found != std::end(compositions))
        composed.back() = found->composed;
      else
        composed.push_back(c);
      plain = found == std::end(compositions) && c < 0x80;
    }
    text = composed;
  }
  const size_t first = text.find_first_not_of(U" \t");
  if (first == text.npos) return "";
  text = text.substr(first, text.find_last_not_of(U" \t") + 1 - first);
  if (text.size() < 3 || text.size() > 26) return "";
  std::string word;
  for (const char32_t c : text) {
    const char letter = PadLetter(c);
    if (!letter) return "";
    word += letter;
  }
  return word;
}

std::vector<std::string> WordsOfLines(std::string bytes) {
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  bytes.resize(std::min(bytes.find('\x1A'), bytes.size()));
  std::vector<std::string> words;
  size_t start = 0;
  for (int32_t n = 1; start < bytes.size() && n <= game::UsableLines; ++n) {
    const size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size());
    std::string line = bytes.substr(start, end - start);
    line.resize(std::min({line.find('\0'), line.size(), size_t{122}}));
    const std::string word = WordOfLine(line);
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
