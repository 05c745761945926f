// Lower-casing of code page 1252 bytes in place, by one table on every system.
#pragma once

#include <cstdint>

namespace runtime {

void lowerBytes(char* bytes, int32_t count) noexcept;

}  // namespace runtime
