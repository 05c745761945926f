// The dic.txt the game ships: code page 1252, CR LF, words the letter pad can spell, 3 to 26 bytes,
// each with a vowel, none of them a function word, as the pad plays it, or a blocked one.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view accentedVowels =
    "\xE1\xE0\xE9\xE8\xED\xEC\xF3\xF2\xFA\xF9\xFC";  // á à é è í ì ó ò ú ù ü

bool padByte(unsigned char b) {
  return (b >= 'a' && b <= 'z') || b == 0xF1 ||
         accentedVowels.find(static_cast<char>(b)) != std::string_view::npos;
}

// The word as the pad plays it: its accents folded away, as "porqu\xE9" plays as "porque".
std::string played(std::string word) {
  for (char& b : word)
    if (const size_t at = accentedVowels.find(b); at != std::string_view::npos) b = "aaeeiioouuu"[at];
  return word;
}

bool hasVowel(const std::string& word) {
  return word.find_first_of(std::string("aeiou").append(accentedVowels)) != std::string::npos;
}

std::string readAll(const char* path) {
  std::ifstream file(path, std::ios::binary);
  EXPECT_TRUE(file) << path;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// An exclusion list, in UTF-8 with '#' comments, as the list's code page 1252 words.
std::set<std::string> exclusions(const char* name) {
  std::ifstream file(std::string(LETRAZUL_EXCLUSIONS_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  std::set<std::string> words;
  for (std::string line; std::getline(file, line);) {
    if (const auto comment = line.find('#'); comment != std::string::npos) line.resize(comment);
    if (line.empty()) continue;
    std::string word;
    for (size_t i = 0; i < line.size(); ++i) {
      const auto b = static_cast<unsigned char>(line[i]);
      // Every letter of these lists lies below U+0100: two UTF-8 bytes at most.
      if (b >= 0xC0 && i + 1 < line.size())
        word.push_back(static_cast<char>(((b & 0x1F) << 6) | (static_cast<unsigned char>(line[++i]) & 0x3F)));
      else
        word.push_back(line[i]);
    }
    words.insert(word);
  }
  EXPECT_GT(words.size(), 50u) << name;
  return words;
}

TEST(ShippedWordList, EveryLineIsAWordThePadCanSpellAndNoneIsExcluded) {
  const std::string bytes = readAll(LETRAZUL_WORD_LIST);
  ASSERT_FALSE(bytes.empty());
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last line ends with CR LF";
  const auto blocked = exclusions("blocked.txt");
  std::set<std::string> functionWords;
  for (const auto& word : exclusions("function_words.txt")) functionWords.insert(played(word));

  std::set<std::string> words;
  size_t lineCount = 0;
  for (size_t start = 0; start < bytes.size();) {
    const size_t end = bytes.find("\r\n", start);
    ASSERT_NE(end, std::string::npos);
    const std::string word = bytes.substr(start, end - start);
    ++lineCount;
    EXPECT_GE(word.size(), 3u) << "line " << lineCount;
    EXPECT_LE(word.size(), 26u) << "line " << lineCount;
    for (unsigned char b : word) EXPECT_TRUE(padByte(b)) << "line " << lineCount << " byte " << int{b};
    EXPECT_TRUE(hasVowel(word)) << "line " << lineCount;
    EXPECT_FALSE(blocked.count(word)) << "line " << lineCount << " is blocked";
    EXPECT_FALSE(functionWords.count(played(word))) << "line " << lineCount << " plays as a function word";
    EXPECT_TRUE(words.insert(word).second) << "line " << lineCount << " repeats " << word;
    start = end + 2;
  }
  EXPECT_LE(lineCount, 87568u) << "the game never draws a line past 87,568";
  EXPECT_GE(lineCount, 10000u) << "a list this short would make most draws miss";
  // Words from every part of the ranking a player should meet, none of the removed ones.
  for (const char* known : {"casa", "perro", "cami\xF3n", "ni\xF1o", "alquimista", "ping\xFCino"})
    EXPECT_TRUE(words.count(known)) << known;
  for (const char* removed : {"aquel", "seg\xFAn", "pchs", "fondill\xF3n", "mierda", "ojete", "mio"})
    EXPECT_FALSE(words.count(removed)) << removed;
}

}  // namespace
