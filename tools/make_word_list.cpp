// Makes the game's dic.txt from a UTF-8 Spanish word list, one word a line:
//   make_word_list SOURCE OUTPUT
// Keeps, in the source's order and without repeats, the words of 3 to 26 bytes in code page 1252
// whose every letter the letter pad can produce once accents are folded: a-z, ñ and the ten
// accented vowels á à é è í ì ó ò ú ù. Writes them in code page 1252 with CR LF line ends, at most
// 87568 of them, so the same source always gives the same bytes.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <string>

namespace {

constexpr size_t shortestWord = 3;
constexpr size_t longestWord = 26;
constexpr size_t mostLines = 87568;

bool padLetter(char32_t c) {
  if (c >= U'a' && c <= U'z') return true;
  switch (c) {
    case U'ñ':
    case U'á':
    case U'à':
    case U'é':
    case U'è':
    case U'í':
    case U'ì':
    case U'ó':
    case U'ò':
    case U'ú':
    case U'ù':
      return true;
    default:
      return false;
  }
}

// The word in code page 1252, or nothing when it holds a letter the pad cannot give or is not valid
// UTF-8. Every letter kept lies below U+0100, where 1252 and Unicode agree.
std::optional<std::string> toPadWord(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t c;
    if (lead < 0x80) {
      c = lead;
      i += 1;
    } else if ((lead & 0xE0) == 0xC0 && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      c = static_cast<char32_t>(((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      i += 2;
    } else {
      return std::nullopt;  // three- and four-byte sequences hold nothing the pad can give
    }
    if (!padLetter(c)) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_word_list SOURCE OUTPUT\n";
    return 2;
  }
  std::ifstream source(argv[1], std::ios::binary);
  if (!source) {
    std::cerr << "make_word_list: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::set<std::string> seen;
  std::string kept;
  size_t lines = 0;
  for (std::string line; lines < mostLines && std::getline(source, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto word = toPadWord(line);
    if (!word || word->size() < shortestWord || word->size() > longestWord) continue;
    if (!seen.insert(*word).second) continue;
    kept += *word;
    kept += "\r\n";
    ++lines;
  }
  std::ofstream output(argv[2], std::ios::binary | std::ios::trunc);
  output << kept;
  if (!output.flush()) {
    std::cerr << "make_word_list: cannot write " << argv[2] << "\n";
    return 1;
  }
  std::cout << "make_word_list: " << lines << " words\n";
  return 0;
}
