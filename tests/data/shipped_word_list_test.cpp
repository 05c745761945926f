// The dic.txt the game ships: code page 1252, CR LF, words the letter pad can spell, 3 to 26 bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace {

bool padByte(unsigned char b) {
  if (b >= 'a' && b <= 'z') return true;
  switch (b) {
    case 0xF1:  // ñ
    case 0xE1:
    case 0xE0:
    case 0xE9:
    case 0xE8:
    case 0xED:  // á à é è í
    case 0xEC:
    case 0xF3:
    case 0xF2:
    case 0xFA:
    case 0xF9:  // ì ó ò ú ù
      return true;
    default:
      return false;
  }
}

TEST(ShippedWordList, EveryLineIsAWordThePadCanSpell) {
  std::ifstream file(LETRAZUL_WORD_LIST, std::ios::binary);
  ASSERT_TRUE(file) << LETRAZUL_WORD_LIST;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(bytes.empty());
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last line ends with CR LF";

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
    EXPECT_TRUE(words.insert(word).second) << "line " << lineCount << " repeats " << word;
    start = end + 2;
  }
  EXPECT_LE(lineCount, 87568u);
  EXPECT_GE(lineCount, 50000u) << "a list this short would make most draws miss";
}

}  // namespace
