// Lower-casing of ANSI bytes in place; the game's text is code page 1252.
#pragma once

#include <cstdint>

namespace runtime {

void lowerBytes(char* bytes, int32_t count) noexcept;

}  // namespace runtime
