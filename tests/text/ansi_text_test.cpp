// The game's code page 1252 text as UTF-8, as the web page shows it: ASCII as it is, Latin-1 in
// two bytes, the 1252 block in two or three, its unassigned bytes as the C1 controls.
#include "runtime/text/ansi_text.h"

#include <gtest/gtest.h>

#include <string>

namespace runtime {
namespace {

TEST(AnsiText, BecomesUtf8) {
  const struct {
    std::string ansi;
    std::string utf8;
  } cases[] = {
      {"", ""},
      {"GAME OVER", "GAME OVER"},
      {"Quimbal Espa\xF1"
       "a\r\n",
       "Quimbal Espa\u00F1a\r\n"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"\x80\x9F\xA0\xFF", "\u20AC\u0178\u00A0\u00FF"},
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
  };
  for (const auto& c : cases) EXPECT_EQ(utf8FromAnsi(ByteString(c.ansi)), c.utf8) << c.ansi;
}

}  // namespace
}  // namespace runtime
