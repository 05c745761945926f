// Lower-casing by one fixed code page 1252 table on every system: what Windows does in 1252, but
// not what it does where the system's ANSI code page is another.
#include <array>

#include "runtime/text/case_map.h"

namespace runtime {

namespace {

constexpr std::array<unsigned char, 256> lowerTable() {
  std::array<unsigned char, 256> table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<unsigned char>(b);
  for (int b = 'A'; b <= 'Z'; ++b) table[b] = static_cast<unsigned char>(b + 0x20);
  // À to Þ, but × (0xD7) has no lower case.
  for (int b = 0xC0; b <= 0xDE; ++b)
    if (b != 0xD7) table[b] = static_cast<unsigned char>(b + 0x20);
  table[0x8A] = 0x9A;  // Š
  table[0x8C] = 0x9C;  // Œ
  table[0x8E] = 0x9E;  // Ž
  table[0x9F] = 0xFF;  // Ÿ
  return table;
}

constexpr auto lower = lowerTable();

}  // namespace

void lowerBytes(char* bytes, int32_t count) noexcept {
  for (int32_t i = 0; i < count; ++i)
    bytes[i] = static_cast<char>(lower[static_cast<unsigned char>(bytes[i])]);
}

}  // namespace runtime
