// Text handed to Windows: the game's code page 1252 bytes become the right UTF-16 characters.
#include "runtime/text/wide_text.h"

#include "runtime/text/ansi_text.h"

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

// The web page gets the game's text as UTF-8 from a table of its own: every byte must become the
// character the system's code page 1252 gives.
TEST(WideText, AnsiToUtf8AgreesWithTheSystemForEveryByte) {
  for (int byte = 1; byte < 256; ++byte) {
    const ByteString ansi(std::string(1, static_cast<char>(byte)));
    const WideText wide = WideText::ofGameText(ansi);
    ASSERT_EQ(wide.size(), 1) << byte;
    const uint32_t c = static_cast<uint16_t>(wide.c_str()[0]);
    std::string expected;
    if (c < 0x80) {
      expected = std::string(1, static_cast<char>(c));
    } else if (c < 0x800) {
      expected = {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    } else {
      expected = {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                  static_cast<char>(0x80 | (c & 0x3F))};
    }
    EXPECT_EQ(utf8FromAnsi(ansi), expected) << byte;
  }
  EXPECT_EQ(utf8FromAnsi(ByteString("Espa\xF1"
                                    "a \x80")),
            "Espa\u00F1a \u20AC");
}

TEST(WideText, KeepsEmbeddedNulsAndStaysTerminated) {
  const WideText wide = WideText::ofGameText(ByteString(std::string_view("a\0b", 3)));
  EXPECT_EQ(wide.size(), 3);
  EXPECT_EQ(wide.c_str()[1], L'\0');
  EXPECT_EQ(wide.c_str()[3], L'\0');
}

}  // namespace
}  // namespace runtime
