// The status band along the top of the frame: a little man for each life, the wrong letters, and
// the counters "Fallos" and "Palabras".
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace game {

// One figure per life from the left, for 1 to 3 lives; any other value draws none.
void DrawLifeFigures(const int16_t& lives);
void DrawCounters(const int16_t& misses, const int32_t& wordsSolved);
void DrawWrongLetters(const runtime::ByteString& wrongLetters);

}  // namespace game
