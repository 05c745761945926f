// The letter pad and its key table.
#include "game/letter_pad.h"

#include "game/game_state.h"
#include "game/screen.h"

namespace game {

std::array<KeyBox, KeyCount + 1> keyBoxes;

namespace {

// Mostly 30 pixels apart, but m, n, s, t, u and x sit where the hand-placed pad put them, so some
// neighbouring boxes overlap and z's box runs past the frame.
constexpr int16_t KeyLefts[KeyCount] = {10,  40,  70,  100, 130, 160, 190, 220, 250, 280, 310, 340, 360, 400,
                                        430, 460, 490, 520, 550, 575, 600, 620, 650, 680, 720, 750, 780};
constexpr char KeyLetters[] = "abcdefghijklmn\xF1opqrstuvwxyz";
static_assert(sizeof(KeyLetters) == KeyCount + 1);

// The last x of each key's press range; each range starts at its key's left edge. l, r, s and t
// stop short of their boxes so that overlapping boxes never share an x, and z stops at the frame.
constexpr int16_t PressRangeEnds[KeyCount] = {39,  69,  99,  129, 159, 189, 219, 249, 279,
                                              309, 339, 359, 389, 429, 459, 489, 519, 549,
                                              570, 595, 615, 649, 679, 709, 749, 779, 800};

}  // namespace

int32_t HitTestKey(uint32_t x) {
  for (int32_t k = 1; k <= KeyCount; ++k)
    if (x >= static_cast<uint32_t>(KeyLefts[k - 1]) && x <= static_cast<uint32_t>(PressRangeEnds[k - 1]))
      return k;
  return 0;
}

void DrawLetterPad() {
  keyBoxes = {};
  const FontHandle font = GameFont(KeySize);
  DrawEmbossedText(framePicture, gameState.lastWord, font, LastWordColour, 10, 510);
  for (int32_t k = 1; k <= KeyCount; ++k) {
    const int16_t left = KeyLefts[k - 1];
    const ByteString letter(&KeyLetters[k - 1], 1);
    DrawEmbossedText(framePicture, letter, font, KeyColour, left, PadTop);
    KeyBox& box = keyBoxes[static_cast<size_t>(k)];
    box.left = left;
    box.right = static_cast<int16_t>(left + KeyWidth);
    box.top = PadTop;
    box.bottom = static_cast<int16_t>(PadTop + KeyWidth);
    box.letter = letter;
  }
}

}  // namespace game
