// The canvas engine as its callers see it: off-screen pictures and graphic controls, drawn on one
// current target at a time. No Windows types, so the game screen can use it from portable code.
#pragma once

#include <cstdint>

#include "runtime/text/byte_string.h"

namespace runtime {

// 0x00BBGGRR, or one of the special values below.
using ColourValue = int32_t;
inline constexpr ColourValue systemColour = -1;  // window text for the foreground, button face behind
inline constexpr ColourValue transparent = -2;   // background only: texts get no box behind them
inline constexpr ColourValue unchanged = -3;

// A window (a graphic control, or the dialog holding it) or an off-screen picture's handle.
using TargetHandle = uintptr_t;
// An off-screen picture; 0 is none.
using PictureHandle = uintptr_t;
// A registered font; 1 to 3 exist from start-up.
using FontHandle = int32_t;

inline constexpr int32_t fontBold = 1, fontItalic = 2, fontUnderline = 4, fontStrikeOut = 8;
inline constexpr int32_t stretchColourOnColour = 3;  // scaled pictures drop pixels, never blend them
inline constexpr int32_t mixCopy = 13;

// Packs three components, each clamped to 0..255.
ColourValue rgb(int32_t red, int32_t green, int32_t blue);

// Makes the dialog item `controlId` of `window` (or, for 0, the target `window` itself) the
// thread's current target. Pictures always refresh explicitly; controls after every operation
// unless `explicitRefresh`. Not found: error 5, no current target, and false.
bool attachTarget(TargetHandle window, int32_t controlId, bool explicitRefresh = false);

void setColours(ColourValue foreground, ColourValue background);

// Fills the whole picture with `colour` (systemColour: the background colour) in fill style 0
// (solid) to 6 (the hatches); the position returns to (0, 0). A clear that cannot be done (no brush,
// or a fill that still fails after ten retries) changes nothing.
void clearTarget(ColourValue colour, int32_t fillStyle);

void setPosition(int32_t x, int32_t y);

// Draws `text` at the current position, clipped to one line from there to the right edge, then
// starts a new line: the position becomes (0, y + character height + external leading).
void printText(const ByteString& text);

// The handle of the font with exactly this description, registering it when new (points 0 means 8).
FontHandle newFont(const ByteString& face, float points, int32_t style, int32_t charset,
                   int32_t pitchAndFamily, int32_t escapement);
void selectFont(FontHandle font);

// A new off-screen picture from a bitmap resource ("#202"), a bitmap file, or a system bitmap,
// scaled to width x height (0 x 0 keeps its size) with `stretchMode`; 0 when it cannot be made.
PictureHandle loadPicture(const ByteString& name, int32_t width, int32_t height, int32_t stretchMode);

// A new off-screen picture of the same size holding a copy of `source`'s; 0 when `source` names no
// picture or the copy cannot be made. Cheaper than loading and scaling the bitmap again.
PictureHandle duplicatePicture(PictureHandle source);

// Copies the source's picture onto the current target at (0, 0), as much as both can hold.
void copyPicture(TargetHandle source, int32_t controlId, int32_t mixMode);

// Frees a picture; its handle then names no target.
void releasePicture(PictureHandle picture);

}  // namespace runtime
