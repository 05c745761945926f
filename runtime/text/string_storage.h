// The heap blocks behind ByteString: a 32-bit byte count, the characters, then a NUL.
#pragma once

#include <cstdint>

namespace runtime::storage {

// A block for `count` characters, already NUL-terminated after them; null when none can be had.
char* allocateChars(uint32_t count) noexcept;
void releaseChars(char* chars) noexcept;
uint32_t storedLength(const char* chars) noexcept;
// Told of every block made (+1) and released (-1). The program's own does nothing; the counted
// test build links one that counts, so that a long test can tell a string leak from other growth.
void countBlocks(int32_t change) noexcept;

}  // namespace runtime::storage
