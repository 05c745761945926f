// Text handed to Windows: the game's code page 1252 bytes become the right UTF-16 characters.
#include "runtime/text/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(WideText, ConvertsTheGamesTextFromCodePage1252) {
  struct Case {
    std::string ansi;
    std::wstring wide;
  } cases[] = {
      {"Nueva Partida", L"Nueva Partida"},
      {"\xD1"
       "and\xFA"
       " \x80",
       L"\u00D1and\u00FA \u20AC"},  // Ñandú €
      {"Programador", L"Programador"},
      {"", L""},
  };
  for (const auto& c : cases) {
    const WideText wide = WideText::ofGameText(ByteString(c.ansi));
    EXPECT_EQ(std::wstring(wide.c_str(), static_cast<size_t>(wide.size())), c.wide) << c.ansi;
  }
}

TEST(WideText, KeepsEmbeddedNulsAndStaysTerminated) {
  const WideText wide = WideText::ofGameText(ByteString(std::string_view("a\0b", 3)));
  EXPECT_EQ(wide.size(), 3);
  EXPECT_EQ(wide.c_str()[1], L'\0');
  EXPECT_EQ(wide.c_str()[3], L'\0');
}

}  // namespace
}  // namespace runtime
