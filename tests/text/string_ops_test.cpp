// The string operations' results at their edges, where the game's screen and word code lean on them.
#include "runtime/text/string_ops.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/text/error_code.h"

namespace runtime {
namespace {

using namespace std::string_view_literals;

ByteString bs(std::string_view text) {
  return ByteString(text);
}

TEST(Concat, JoinsAndPassesAnEmptyOperandThrough) {
  EXPECT_EQ(concat(bs("ab"), bs("cd")).view(), "abcd");
  EXPECT_EQ(concat(bs(""), bs("cd")).view(), "cd");
  EXPECT_EQ(concat(bs("ab"), bs("")).view(), "ab");
  EXPECT_TRUE(concat(bs(""), bs("")).empty());
  EXPECT_EQ(concat(bs("a\0"sv), bs("\0b"sv)).view(), "a\0\0b"sv);
}

TEST(Slice, CutsAtTheEndAndGivesEmptyOutsideTheString) {
  struct Case {
    std::string_view s;
    int32_t start, count;
    std::string_view expected;
  } cases[] = {
      {"abc", 2, 5, "bc"},  {"abc", 4, 1, ""},  {"abc", 1, 0, ""},  {"abc", 0, 2, ""},
      {"abc", 1, 3, "abc"}, {"abc", 3, 1, "c"}, {"abc", -1, 2, ""}, {"", 1, 1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(slice(bs(c.s), c.start, c.count).view(), c.expected) << c.s << " " << c.start << " " << c.count;
}

TEST(Find, SearchesForwardFromStartOrBackwardForTheLast) {
  struct Case {
    std::string_view s, m;
    int32_t start, expected;
  } cases[] = {
      {"D:\\apps\\game.exe", "\\", -1, 8},
      {"D:\\apps\\game.exe", "\\", 1, 3},
      {"D:\\apps\\game.exe", "\\", 4, 8},
      {"game.exe", "\\", -1, 0},
      {"game.exe", "\\", 1, 0},
      {"casa", "a", 0, 0},
      {"", "a", 1, 0},
      {"casa", "a", 5, 0},
      {"casa", "sa", 1, 3},
      {"casa", "casas", 1, 0},
      {"aaa", "aa", -1, 2},
      {"casa", "", 1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(find(bs(c.s), bs(c.m), c.start), c.expected) << c.s << " " << c.start;
}

TEST(EraseAndInsert, ReplaceOneCharacterOfAMaskedWord) {
  EXPECT_EQ(eraseAt(bs("----"), 2, 1).view(), "---");
  EXPECT_EQ(insertAt(bs("---"), bs("a"), 2).view(), "-a--");
  EXPECT_EQ(insertAt(eraseAt(bs("----"), 4, 1), bs("z"), 4).view(), "---z");
}

TEST(EraseAt, LeavesTheStringAloneOutsideItAndCutsLongRuns) {
  struct Case {
    std::string_view s;
    int32_t start, count;
    std::string_view expected;
  } cases[] = {
      {"casa", 2, 10, "c"},   {"casa", 5, 1, "casa"}, {"casa", 1, 0, "casa"}, {"casa", 1, -3, "casa"},
      {"casa", 0, 1, "casa"}, {"casa", 1, 4, ""},     {"", 1, 1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(eraseAt(bs(c.s), c.start, c.count).view(), c.expected)
        << c.s << " " << c.start << " " << c.count;
}

TEST(InsertAt, AppendsWhenThePositionIsOutsideTheString) {
  struct Case {
    std::string_view s, t;
    int32_t pos;
    std::string_view expected;
  } cases[] = {
      {"ab", "x", 9, "abx"},  {"ab", "x", 3, "abx"}, {"ab", "x", 1, "xab"}, {"ab", "x", 0, "abx"},
      {"ab", "x", -4, "abx"}, {"", "x", 1, "x"},     {"ab", "", 2, "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(insertAt(bs(c.s), bs(c.t), c.pos).view(), c.expected) << c.pos;
}

TEST(Fill, RepeatsTheFirstByteOrNul) {
  EXPECT_EQ(fill(5, bs("-")).view(), "-----");
  EXPECT_EQ(fill(3, bs("xy")).view(), "xxx");
  EXPECT_EQ(fill(2, bs("")).view(), "\0\0"sv);
  EXPECT_TRUE(fill(0, bs("-")).empty());
  EXPECT_TRUE(fill(-1, bs("-")).empty());
}

TEST(RemoveAll, TakesOutEveryOccurrenceLeftToRight) {
  struct Case {
    std::string_view s, m, expected;
  } cases[] = {
      {" 12", " ", "12"},  {"a b c ", " ", "abc"}, {"aaa", "aa", "a"},   {"casa", "x", "casa"},
      {"ab", "abc", "ab"}, {"   ", " ", ""},       {"casa", "", "casa"},
  };
  for (const auto& c : cases) EXPECT_EQ(removeAll(bs(c.s), bs(c.m)).view(), c.expected) << c.s;
}

TEST(Compare, IsBytewiseExactAndPutsPrefixesFirst) {
  EXPECT_LT(compare(bs("ab"), bs("abc")), 0);
  EXPECT_GT(compare(bs("abc"), bs("ab")), 0);
  EXPECT_NE(compare(bs("a"), bs("A")), 0);
  EXPECT_EQ(compare(bs("luz"), bs("luz")), 0);
  EXPECT_EQ(compare(bs(""), ByteString()), 0);
  EXPECT_LT(compare(bs("z"), bs("\xF1")), 0);  // bytes compare unsigned: ñ sorts after z
  EXPECT_LT(compare(bs("a\0"sv), bs("a\0\0"sv)), 0);
}

TEST(FormatNumber, LeadsWithABlankOrMinusAndDropsIntegralPoints) {
  struct Case {
    double x;
    std::string_view expected;
  } cases[] = {
      {12, " 12"},
      {-3, "-3"},
      {0, " 0"},
      {-0.0, " 0"},
      {0.5, " 0.5"},
      {87568, " 87568"},
      {123456789012345, " 123456789012345"},
      {1.0 / 3, " 0.333333333333333"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatNumber(c.x).view(), c.expected) << c.x;
  EXPECT_EQ(removeAll(formatNumber(12), bs(" ")).view(), "12");
}

TEST(ToLower, LowersCodePage1252AndKeepsTheLength) {
  EXPECT_EQ(toLower(bs("\xC1RBOL \xD1")).view(), "\xE1rbol \xF1");  // ÁRBOL Ñ
  EXPECT_TRUE(toLower(ByteString()).empty());
  std::string all(256, '\0');
  for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
  std::string expected = all;
  for (int b = 'A'; b <= 'Z'; ++b) expected[static_cast<size_t>(b)] = static_cast<char>(b + 32);
  for (int b = 0xC0; b <= 0xDE; ++b)
    if (b != 0xD7) expected[static_cast<size_t>(b)] = static_cast<char>(b + 32);  // × stays
  expected[0x8A] = '\x9A';                                                        // Š
  expected[0x8C] = '\x9C';                                                        // Œ
  expected[0x8E] = '\x9E';                                                        // Ž
  expected[0x9F] = '\xFF';                                                        // Ÿ
  const ByteString lowered = toLower(ByteString(all));
  ASSERT_EQ(lowered.size(), 256);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(lowered.byteAt(b), static_cast<unsigned char>(expected[static_cast<size_t>(b)]))
        << "byte " << b;
}

}  // namespace
}  // namespace runtime
