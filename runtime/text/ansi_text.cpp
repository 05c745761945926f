// Code page 1252 to UTF-8.
#include "runtime/text/ansi_text.h"

#include <array>
#include <cstdint>

namespace runtime {

namespace {

// 0x80 to 0x9F: where 1252 differs from Latin-1.
constexpr std::array<char16_t, 32> high = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                           0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void appendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf8FromAnsi(const ByteString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()) * 2);
  for (int32_t i = 0; i < text.size(); ++i) {
    const unsigned char byte = text.byteAt(i);
    appendUtf8(out, byte >= 0x80 && byte <= 0x9F ? high[byte - 0x80] : static_cast<char16_t>(byte));
  }
  return out;
}

}  // namespace runtime
