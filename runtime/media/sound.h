// playSound: the game's short sound effects, played in the background.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace runtime {

inline constexpr int32_t soundAsync = 0x0001;      // return at once; the sound plays on
inline constexpr int32_t soundNoDefault = 0x0002;  // a sound that cannot be played stays silent

// Plays `name`: a resource of the program, or a file when the name holds a ".". A new request cuts
// off the sound still playing; an empty name stops it. Failures only set errorCode.
void playSound(const ByteString& name, int32_t flags, int32_t timeLimit);

}  // namespace runtime
