// The game screen: every frame is composed afresh on an off-screen picture from GameState and then
// copied onto the Canvas in one piece, so nothing on the screen is ever half drawn.
#pragma once

#include <cstdint>

#include "runtime/canvas/canvas.h"
#include "runtime/text/byte_string.h"

namespace game {

using runtime::ByteString;
using runtime::ColourValue;
using runtime::FontHandle;
using runtime::PictureHandle;
using runtime::TargetHandle;

inline constexpr int32_t FrameWidth = 800;
inline constexpr int32_t FrameHeight = 600;
inline constexpr int32_t CanvasId = 1001;  // the Canvas control of the main dialog

constexpr ColourValue Colour(int32_t red, int32_t green, int32_t blue) {
  return red | green << 8 | blue << 16;
}
inline constexpr ColourValue KeyColour = Colour(255, 0, 0);
inline constexpr ColourValue PressedKeyColour = Colour(255, 255, 0);
inline constexpr ColourValue LastWordColour = Colour(192, 192, 192);
inline constexpr ColourValue MaskedWordColour = Colour(255, 255, 255);
inline constexpr ColourValue EmbossLight = Colour(255, 255, 255);
inline constexpr ColourValue EmbossDark = Colour(128, 0, 0);

// Font sizes in points; every font of the screen is bold Times New Roman.
inline constexpr float FigurePoints = 8;
inline constexpr float CounterPoints = 22;
inline constexpr float KeySize = 29;
inline constexpr float WordPoints = 39;

// The picture the latest frame was composed on; 0 before the first frame, or when the background
// could not be loaded for it.
extern PictureHandle framePicture;
// The main dialog, whose Canvas shows the frames.
extern TargetHandle mainDialog;
// Made at start-up and kept for the life of the program.
extern FontHandle keyFont;
extern FontHandle wordFont;

// The screen's font of this size: identical requests give the same handle.
FontHandle GameFont(float points);

// Lets one pending message through, then draws `text` three times on `picture` with a transparent
// background: white one pixel up-left, dark red one pixel down-right, and `colour` at (x, y) on
// top. An empty text, or a picture that no longer exists, draws nothing.
void DrawEmbossedText(PictureHandle picture, const ByteString& text, FontHandle font, ColourValue colour,
                      int16_t x, int16_t y);

// Starts a frame on a fresh copy of the background, 800 x 600; framePicture is 0 without one.
void StartFrame();
void DrawMaskedWord();
// Copies the frame onto the Canvas, which shows it at once.
void ShowFrame();

// Composes and shows one complete frame from GameState; changes no field.
void RefreshScreen();
// The frame of a press on key k (1 to 27): the pad with key k in yellow over the current state.
void PressedKeyFrame(int32_t k);

// Releases the background and the frame pictures, as at the end of the program.
void ReleaseScreen();

}  // namespace game
