// Text handed to Windows: code page 1252 bytes become the right UTF-16 characters and back.
#include "runtime/text/wide_text.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(WideText, ConvertsCodePage1252BothWays) {
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
    const WideText wide{ByteString(c.ansi)};
    EXPECT_EQ(std::wstring(wide.c_str(), static_cast<size_t>(wide.size())), c.wide) << c.ansi;
    EXPECT_EQ(narrowText(c.wide.c_str(), static_cast<int32_t>(c.wide.size())).view(), c.ansi);
  }
}

TEST(WideText, KeepsEmbeddedNulsAndStaysTerminated) {
  const WideText wide{ByteString(std::string_view("a\0b", 3))};
  EXPECT_EQ(wide.size(), 3);
  EXPECT_EQ(wide.c_str()[1], L'\0');
  EXPECT_EQ(wide.c_str()[3], L'\0');
}

}  // namespace
}  // namespace runtime
