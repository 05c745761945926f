// ByteString's storage and value rules, and FixedText's silent cut.
#include "runtime/text/byte_string.h"

#include <gtest/gtest.h>

#include <string>

#include "runtime/text/fixed_text.h"

namespace runtime {
namespace {

using namespace std::string_view_literals;

TEST(ByteString, EmptyStringOwnsNoStorageButReadsAsNulTerminated) {
  for (const ByteString& empty : {ByteString(), ByteString(""sv), ByteString("xyz", 0)}) {
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.size(), 0);
    ASSERT_NE(empty.data(), nullptr);
    EXPECT_EQ(empty.data()[0], '\0');
  }
}

TEST(ByteString, KeepsEveryByteAndPutsANulAfterThem) {
  const ByteString s("ab\0c\xF1"sv);
  EXPECT_EQ(s.size(), 5);
  EXPECT_EQ(s.view(), "ab\0c\xF1"sv);
  EXPECT_EQ(s.byteAt(4), 0xF1);
  EXPECT_EQ(s.data()[5], '\0');
}

TEST(ByteString, CopiesAreIndependentValues) {
  ByteString original("casa"sv);
  ByteString copy = original;
  EXPECT_NE(copy.data(), original.data());
  original = ByteString("perro"sv);
  EXPECT_EQ(copy.view(), "casa");
  const ByteString& same = copy;
  copy = same;  // self-assignment keeps the value
  EXPECT_EQ(copy.view(), "casa");
}

TEST(ByteString, AssigningAValueOfTheSameLengthReusesTheBlock) {
  ByteString target("----"sv);
  const char* block = target.data();
  const ByteString same("-a--"sv);
  target = same;
  EXPECT_EQ(target.data(), block);
  EXPECT_EQ(target.view(), "-a--");
  target = ByteString("longer"sv);
  EXPECT_EQ(target.view(), "longer");
  target = ByteString();
  EXPECT_TRUE(target.empty());
}

TEST(ByteString, MovingHandsTheBlockOver) {
  ByteString source("luz"sv);
  const char* block = source.data();
  ByteString target = std::move(source);
  EXPECT_EQ(target.data(), block);
  EXPECT_TRUE(source.empty());  // NOLINT(bugprone-use-after-move): the moved-from value is specified
}

TEST(FixedText, CutsAtTheFirstNulOrAtNMinusOneBytes) {
  struct Case {
    std::string source;
    std::string kept;
  } cases[] = {
      {std::string(200, 'x'), std::string(122, 'x')},
      {std::string(122, 'y'), std::string(122, 'y')},
      {std::string(121, 'z'), std::string(121, 'z')},
      {std::string("ab\0cd", 5), "ab"},
      {"", ""},
  };
  for (const auto& c : cases) {
    FixedText<123> text;
    text = ByteString(c.source);
    EXPECT_EQ(text.text().view(), c.kept) << c.source.size();
  }
}

TEST(FixedText, AShorterValueReplacesALongerOneCompletely) {
  FixedText<255> path;
  path = ByteString("C:\\Juegos\\Letrazul\\"sv);
  path = ByteString("D:\\"sv);
  EXPECT_EQ(path.text().view(), "D:\\");
  EXPECT_STREQ(path.data(), "D:\\");
}

}  // namespace
}  // namespace runtime
