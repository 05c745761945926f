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

}  // namespace

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
