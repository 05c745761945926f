// The heap blocks behind ByteString: a 32-bit byte count, the characters, then a NUL.
#pragma once

#include <cstdint>

namespace runtime::storage {

// A block for `count` characters, already NUL-terminated after them; null when none can be had.
char* allocateChars(uint32_t count) noexcept;
void releaseChars(char* chars) noexcept;
uint32_t storedLength(const char* chars) noexcept;
// Blocks allocated and not yet released, so a test can tell a string leak from other growth.
int64_t liveBlocks() noexcept;

}  // namespace runtime::storage
