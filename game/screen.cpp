// Frames: the background, the embossed texts, the order of a frame's steps, and its showing.
#include "game/screen.h"

#include "game/game_state.h"
#include "game/letter_pad.h"
#include "game/status_band.h"
#include "runtime/host/message_pump.h"

namespace game {

using namespace runtime;

PictureHandle framePicture = 0;
TargetHandle mainDialog = 0;
FontHandle keyFont = 0;
FontHandle wordFont = 0;

namespace {

// Scaled once: every frame starts from a copy of it, which looks exactly like a fresh load.
PictureHandle background = 0;
// The frame the Canvas shows; released once a newer frame has been shown, so that only the latest
// frame picture stays alive between frames.
PictureHandle shownPicture = 0;

}  // namespace

FontHandle GameFont(float points) {
  return newFont(ByteString("Times New Roman"), points, fontBold, 0, 0, 0);
}

void DrawEmbossedText(PictureHandle picture, const ByteString& text, FontHandle font, ColourValue colour,
                      int16_t x, int16_t y) {
  doEvents(1);
  if (text.empty()) return;
  attachTarget(picture, 0);
  selectFont(font);
  const struct {
    ColourValue colour;
    int32_t offset;
  } layers[] = {{EmbossLight, -1}, {EmbossDark, 1}, {colour, 0}};
  for (const auto& layer : layers) {
    setColours(layer.colour, transparent);
    setPosition(x + layer.offset, y + layer.offset);
    printText(text);
  }
}

void StartFrame() {
  if (!background)
    background = loadPicture(ByteString("#202"), FrameWidth, FrameHeight, stretchColourOnColour);
  // A frame composed but never shown would never be shown now.
  if (framePicture != shownPicture) releasePicture(framePicture);
  framePicture = background ? duplicatePicture(background) : 0;
}

void DrawMaskedWord() {
  DrawEmbossedText(framePicture, gameState.maskedWord, wordFont, MaskedWordColour, 110, 230);
}

void ShowFrame() {
  attachTarget(mainDialog, CanvasId);
  copyPicture(framePicture, 0, mixCopy);
  if (shownPicture != framePicture) releasePicture(shownPicture);
  shownPicture = framePicture;
}

void RefreshScreen() {
  StartFrame();
  DrawMaskedWord();
  DrawLetterPad();
  DrawLifeFigures(gameState.lives);
  DrawCounters(gameState.misses, gameState.wordsSolved);
  DrawWrongLetters(gameState.wrongLetters);
  ShowFrame();
}

void PressedKeyFrame(int32_t k) {
  if (k < 1 || k > KeyCount) return;
  StartFrame();
  DrawLetterPad();
  // keyBoxes has KeyCount + 1 records, so k is in range; cppcheck misreads the array's size.
  // cppcheck-suppress containerOutOfBounds
  const KeyBox& pressed = keyBoxes[static_cast<size_t>(k)];
  DrawEmbossedText(framePicture, pressed.letter.text(), keyFont, PressedKeyColour, pressed.left, PadTop);
  DrawLifeFigures(gameState.lives);
  DrawCounters(gameState.misses, gameState.wordsSolved);
  DrawWrongLetters(gameState.wrongLetters);
  DrawMaskedWord();
  ShowFrame();
}

void ReleaseScreen() {
  if (framePicture != shownPicture) releasePicture(framePicture);
  releasePicture(shownPicture);
  releasePicture(background);
  framePicture = shownPicture = background = 0;
  keyBoxes = {};
}

}  // namespace game
