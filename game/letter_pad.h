// The letter pad: 27 keys, a to z with ñ after n, along the bottom of the frame, and the last word
// above them.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/text/fixed_text.h"

namespace game {

inline constexpr int32_t KeyCount = 27;
inline constexpr int16_t PadTop = 550;
inline constexpr int16_t KeyWidth = 29;  // right - left of every key box

struct KeyBox {
  int16_t left = 0;
  int16_t right = 0;
  int16_t top = 0;
  int16_t bottom = 0;
  runtime::FixedText<2> letter;  // one code page 1252 character
};

// Indexed 1 to 27 (0 is unused); all zero until the first frame, then the pad on the screen.
extern std::array<KeyBox, KeyCount + 1> keyBoxes;

// The key (1 to 27) whose press range holds x, in Canvas pixels, or 0 in the gaps between them and
// outside the pad. The ranges are fixed: where key boxes overlap or lie apart they differ from them.
int32_t HitTestKey(uint32_t x);

// Draws lastWord and the 27 keys in red on framePicture and rebuilds keyBoxes.
void DrawLetterPad();

}  // namespace game
